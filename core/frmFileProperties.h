#pragma once
// Our properties window, for desktops without one of their own: the facts of
// one file.
#include <QWidget>

class QFormLayout;
class QPushButton;

class frmFileProperties : public QWidget {
 public:
  explicit frmFileProperties(const QString& path, QWidget* parent = nullptr);

  // The shown facts, each "Caption:" and its text, in order.
  QList<QPair<QString, QString>> Facts() const { return facts_; }

  QPushButton* cmdOK;

 private:
  void AddFact(QFormLayout* form, const QString& caption, const QString& text);

  QList<QPair<QString, QString>> facts_;
};
