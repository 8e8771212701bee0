#pragma once
// The modal window in which the launcher waits while an external program
// works on a backup copy ("<file>.RWBAK") and is expected to write the file
// under its own name again. It waits for "done.flag" in gTempFolder, then
// closes itself when the file is back, or moves the backup back and reports.
// The wait is the window's own: Cancel (or Esc, or closing the window) and a
// request to end the program end it; the external program is then stopped and
// the backup moved back over whatever it left under the file's name.
#include "platform/QuitRequest.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QImage>

#include <functional>
#include <optional>

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
  // Tests may give a step that runs at each look for the flag, which then
  // comes at every turn of the window's loop instead of every 20 ms; the
  // empty function restores the default.
  static void SetWaitStep(std::function<void()> step);
  // Ends the external program at once, so that it writes nothing more; the
  // launcher sets it, and it runs when the wait is cancelled.
  std::function<void()> StopProgram;

  void lblResume_Click();
  void Command1_Click();
  void Timer1_Timer();
  int Frame() const { return frame_; }
  // While the wait runs, Esc and closing the window cancel it instead.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load();
  void Form_Activate();
  void LookForFlag();
  void WaitOver(bool cancelled);
  void Restore(bool cancelled);
  void FitToReport();

  QString path_;
  // What the window says above the line about the wait.
  QString story_;
  QVector<QImage> frames_;
  int frame_ = 1;
  bool activated_ = false;
  bool waiting_ = false;
  bool cancelled_ = false;
  QTimer* flagLook_;
  // The wait, as long work a request to end the program waits for.
  std::optional<QuitRequest::LongWork> quitWork_;
};

extern QPointer<frmExternalAppStatus> gExternalAppStatusForm;
