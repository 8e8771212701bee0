#pragma once
// The program's own message box: a gradient face, a title band and a rounded
// outline in the scheme colours, a rounded window shape, an icon or one of the
// program's pictures, up to four buttons and an optional countdown that
// closes it. Every box of the program comes here through ShowMessageBox.
//
// Each call makes its own box; gMsgBoxForm names the current one. A box asked
// for while another is loaded replaces it, and the replaced call returns 0.
#include "platform/ImageSurface.h"
#include "ui/TickClock.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

class frmMsgBox : public QWidget {
  Q_OBJECT

 public:
  // Shows the box modally in a nested event loop (timers and other windows'
  // events go on) and returns the code of the pressed button: 1 OK, 2 Cancel,
  // 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No, 8 Help; 0 when the countdown or
  // another box closed it. Style: button set (AND 15), icon (AND 0xF0; the
  // whole values 1 and 2 show the pictures "MEDIAINFO" and "LOGO"), default
  // button (AND 0x700), Help button (0x4000). Timeout in seconds, 0 none.
  // FitFlag: centred on the work area, else at the mouse pointer. BoxWidth in
  // twips, -1 to fit the message. An owner whose "HasDC" property is false
  // gets a topmost box.
  static int16_t SMessageModal(const QString& Message, int32_t Style, const QString& Title = QString(),
                               int32_t Timeout = 0, bool FitFlag = true, int32_t BoxWidth = -1,
                               const QString& FontName = QStringLiteral("Tahoma"), QWidget* Owner = nullptr);
  // Shows the box modeless, owned by Owner, and returns 0 at once. Only Style
  // AND 15 = 6 shows a button ("Ok", which closes the box); any other style
  // shows none and the caller unloads the box. Reserved is not used.
  static int16_t sMessage(const QString& Message, int32_t Style, const QString& Title = QString(),
                          int32_t Timeout = 0, int32_t Reserved = 0, bool FitFlag = true, int32_t BoxWidth = -1,
                          const QString& FontName = QStringLiteral("Tahoma"), QWidget* Owner = nullptr);

  // Makes this box the one every ShowMessageBox of the program reaches.
  static void InstallMessageBoxHandler();
  // Unloads the loaded box, if any (its call returns 0); also at shut-down.
  static void CloseOtherMessageBoxes();

  // The countdown's clock (Qt timers unless a test puts its own here).
  static void SetClockFactory(TickClockFactory factory);
  // The beep of the icon rows (the desktop's beep unless a test listens here).
  static void SetBeeper(std::function<void(int type)> beeper);

  // Hides the box, ends its modal wait and releases it as the current box.
  void Unload();
  bool Loaded() const { return loaded_; }

  // The controls, under their design names.
  std::array<QPushButton*, 4> cmdButton{};
  QLabel* txtMessage = nullptr;
  QLabel* lblTitle = nullptr;
  // Holds txtMessage; scrolls it when the box had to be cut to the work area.
  QScrollArea* scrollMessage = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  frmMsgBox();

  void FillButtons(int32_t style, int32_t& timeout);
  void SetButton(int index, const QString& caption, int code);
  void LayoutMessageBox(QString Message, int32_t Icon, QString Title, int32_t& Timeout, bool FitFlag,
                        int32_t& BoxWidth, const QString& FontName);
  void ApplyIconRow(int32_t icon, QString& title);
  void PlaceButtons(int scaleWidth, int buttonTop);
  void CapToWorkArea(int& width, int& height, bool buttonRow);
  void DrawFace(int width, int height, bool buttonRow);
  void DrawIcon();
  void DrawShellIcon(int n);
  void SetWindowShape(int width, int height);
  void FitToWorkArea(bool FitFlag);
  void MakeTopmostFor(QWidget* owner);
  void ShowModal();
  void ShowAndActivate();

  void cmdButton_Click(int Index);
  void Form_Activate();
  void lblTitle_MouseDown(QMouseEvent* event);
  void Timer1_Timer();
  void ShowTitle(const QString& title);

  static void Beep(int type);
  int ButtonCode(int index) const;
  int ScaleWidth() const { return width(); }
  int ScaleHeight() const { return height(); }

  // The box's own members.
  QPoint m_CursorPos;
  int32_t m_IconID = 0;
  QString m_TitleBase;
  int32_t m_Timeout = 0;
  int16_t m_Result = 0;
  uint8_t m_DefaultButton = 0;
  bool m_UnloadOnClick = false;
  int32_t m_Elapsed = 0;

  std::array<QString, 4> tags_;  // a button's code as text; empty for a button not in the set
  int cancelButton_ = -1;
  bool shellIcon_ = false;
  bool loaded_ = true;
  bool modeless_ = false;
  // Size in twips, as the layout works.
  double widthTwips_ = 0;
  double heightTwips_ = 0;
  ImageSurfacePtr face_;
  std::unique_ptr<TickClock> Timer1;
  bool dragging_ = false;
  QPoint dragOffset_;
};

// The current box, while one is loaded.
extern QPointer<frmMsgBox> gMsgBoxForm;
