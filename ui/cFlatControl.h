#pragma once
// Flat borders in the scheme colours around a combo box or text box. So far
// it only holds the control; the border drawing comes with its own work.
#include <QPointer>
#include <QWidget>

class cFlatControl {
 public:
  void Attach(QWidget* control) { control_ = control; }
  QWidget* Control() const { return control_; }

 private:
  QPointer<QWidget> control_;
};
