#pragma once
// The About box: the program logo, its motto, version, contact and author
// lines, and a one-line credits scroller that types out thank-you lines one
// character at a time. The main window shows it modally over the dimming
// overlay and unloads both when it closes.
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
namespace ctl {
class Label;
}

class frmAboutReelwise : public QWidget {
 public:
  frmAboutReelwise();
  // Form_Unload: takes the drop shadow away again.
  ~frmAboutReelwise() override;

  // The credit lines, separated by "|".
  static const QString kCredits;
  // The scroller's cursor blink count: one value for the whole process,
  // kept across ticks and across openings of the box.
  static inline int16_t BlinkCount = 0;

  QLabel* imgWelcomeLogo;
  std::array<ctl::Label*, 2> Label1;
  ctl::Label* Label2;
  ctl::Label* lblCredits;
  ctl::Label* lblVersion;
  std::array<ctl::Label*, 2> lblDisclaimer;
  QFrame* Shape1;
  std::array<QFrame*, 2> Line1;
  QPushButton* cmdOK;
  QTimer* Timer1;

  // One step of the scroller (Timer1's tick, every 100 ms).
  void Timer1_Timer();
  // Stops the scroller and hides the box; the caller unloads it.
  void cmdOK_Click();

  // Form_Load runs as the box is first shown, once its owner is known.
  void setVisible(bool visible) override;

 private:
  void CreateControls();
  void Form_Load();

  bool loaded_ = false;
  QStringList lines_;
  int16_t lineIndex_ = 0;
  int16_t charsShown_ = 0;
};
