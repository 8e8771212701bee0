#pragma once
// The modal window in which the launcher waits while an external program
// works on a backup copy ("<file>.RWBAK") and is expected to write the file
// under its own name again. It waits for "done.flag" in gTempFolder, then
// closes itself when the file is back, or moves the backup back and reports.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QImage>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

class frmExternalAppStatus : public QDialog {
 public:
  explicit frmExternalAppStatus(QWidget* owner);
  ~frmExternalAppStatus() override;

  QLabel* Label3;
  QLabel* lblResume;
  QPushButton* Command1;
  QLabel* Image1;
  QTimer* Timer1;

  // The file being processed, taken from the main window's Tag.
  const QString& FilePath() const { return path_; }
  // One step of the wait for the flag: by default 10 ms of sleep, then the
  // events that came meanwhile (the process's end among them). Tests may
  // replace it; the empty function restores the default.
  static void SetWaitStep(std::function<void()> step);

  void lblResume_Click();
  void Command1_Click();
  void Timer1_Timer();
  int Frame() const { return frame_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load();
  void Form_Activate();
  void WaitForFlag();
  void Restore();

  QString path_;
  QVector<QImage> frames_;
  int frame_ = 1;
  bool activated_ = false;
};

extern QPointer<frmExternalAppStatus> gExternalAppStatusForm;
