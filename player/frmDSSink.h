#pragma once
// The full-screen player window. So far it has no queue to play: shown, it
// closes again at once, as it does when playback ends.
#include <QWidget>

class frmDSSink : public QWidget {
 public:
  frmDSSink();

 protected:
  void showEvent(QShowEvent* event) override;
};
