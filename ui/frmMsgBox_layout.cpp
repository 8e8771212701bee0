// Layout, drawing and placement of the message box.
#include "ui/frmMsgBox.h"

#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/Twips.h"
#include "resources/Resources.h"
#include "ui/CairoContext.h"
#include "ui/SchemeColours.h"
#include "ui/modGradientFill.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Design geometry of the buttons, in twips.
constexpr double kButtonLeft[4] = {1080, 2265, 3465, 4665};
constexpr double kButtonTop = 1440;
constexpr double kButtonWidth = 1020;
constexpr double kButtonHeight = 360;
constexpr double kMinimumWidth = 4500;
constexpr double kInitialHeight = 800;

constexpr int kTextLeft = 20;
constexpr int kTextTop = 50;
constexpr double kCornerRadius = 7.5;  // 15 x 15 corner ellipses

struct IconRow {
  int icon;
  const char* title;
  int beep;
  int iconId;
  bool shellIcon;
};

constexpr IconRow kIconRows[] = {
    {1, nullptr, 0, 1, false},
    {2, nullptr, 0, 2, false},
    {16, "ERROR!", 16, 32513, false},
    {32, "Question?", 32, 32514, false},
    {48, "Warning!", 48, 32515, false},
    {64, "Information", 64, 32516, false},
    {80, "Working... Please Wait", 64, 76, true},
    {128, nullptr, 0, 32517, false},
    {144, nullptr, 64, 4, true},
    {160, "Printing.. Please Wait", 64, 16, true},
    {176, nullptr, 64, 22, true},
    {240, nullptr, 64, 6, true},
};

int ToPixelsX(double twips) { return static_cast<int>(RoundHalfEven(twips / TwipsPerPixelX())); }
int ToPixelsY(double twips) { return static_cast<int>(RoundHalfEven(twips / TwipsPerPixelY())); }

// The message as the labels show it: line breaks of any kind become "\n".
QString DisplayText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// Width of the widest line, in pixels.
int TextWidth(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

int WrappedHeight(const QFont& font, int width, const QString& text) {
  return QFontMetrics(font)
      .boundingRect(QRect(0, 0, std::max(1, width), 1 << 24), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text)
      .height();
}

// A picture of the program's resources; empty (nothing drawn) should one be
// missing, so that a box still shows its message.
QPixmap ResourcePicture(const std::function<QImage()>& load) {
  try {
    return QPixmap::fromImage(load());
  } catch (const RWError&) {
    return QPixmap();
  }
}

QPixmap SystemIcon(int id) {
  return ResourcePicture([id] { return LoadResPicture(QString::number(id), kResSystemIcon); });
}

QPixmap ShellIcon(int n) {
  return ResourcePicture([n] { return LoadResPicture(QString::number(n), kResShellIcon); });
}

// The pictures of the media report and the tip of the day come from the main
// window's drag-picture list.
QPixmap DragListPicture(const QString& key) {
  return ResourcePicture([key] { return LoadImageListPicture(QStringLiteral("imglstDragIcons"), key); });
}

void DrawPixmap(ImageSurface& face, int x, int y, const QPixmap& picture) {
  if (picture.isNull()) return;
  face.Flush();
  {
    QPainter painter(&face.Image());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(x, y, 32, 32), picture);
  }
  face.MarkDirty();
}

}  // namespace

void frmMsgBox::ApplyIconRow(int32_t icon, QString& title) {
  m_IconID = 0;
  shellIcon_ = false;
  for (const IconRow& row : kIconRows) {
    if (row.icon != icon) continue;
    if (title.isEmpty() && row.title) title = QString::fromLatin1(row.title);
    if (row.beep) Beep(row.beep);
    m_IconID = row.iconId;
    shellIcon_ = row.shellIcon;
  }
}

void frmMsgBox::LayoutMessageBox(QString Message, int32_t Icon, QString Title, int32_t& Timeout, bool FitFlag,
                                 int32_t& BoxWidth, const QString& FontName) {
  const double tppx = TwipsPerPixelX();
  const double tppy = TwipsPerPixelY();
  QFont messageFont(FontName);
  messageFont.setPointSizeF(10);
  QFont titleFont(FontName);
  titleFont.setPointSizeF(9.75);
  titleFont.setBold(true);
  setFont(messageFont);
  txtMessage->setFont(messageFont);
  lblTitle->setFont(titleFont);

  Message = DisplayText(Message) + QLatin1Char('\n');
  m_CursorPos = QCursor::pos();
  ApplyIconRow(Icon, Title);
  m_TitleBase = Title;

  const QFontMetrics measure(messageFont);
  if (BoxWidth == -1) BoxWidth = CLng((TextWidth(measure, Message) + 50) * tppx);
  if (BoxWidth < kMinimumWidth) BoxWidth = static_cast<int32_t>(kMinimumWidth);
  if (Timeout > 0) {
    Title = Title.isEmpty() ? QString::number(Timeout) : Title + QStringLiteral(" -") + QString::number(Timeout);
  }
  if ((TextWidth(measure, Title) + 130) * tppx > BoxWidth) BoxWidth = CLng((TextWidth(measure, Title) + 130) * tppx);

  ShowTitle(Title);
  widthTwips_ = BoxWidth;
  heightTwips_ = kInitialHeight;
  resize(ToPixelsX(widthTwips_), ToPixelsY(heightTwips_));

  // The label keeps the width it gets here and takes the height of its wrapped text.
  const int textWidth = ScaleWidth() - kTextLeft;
  const int textHeight = WrappedHeight(messageFont, textWidth, Message);
  txtMessage->setText(Message);
  txtMessage->setFixedSize(textWidth, textHeight);
  scrollMessage->setGeometry(kTextLeft, kTextTop, textWidth, textHeight);
  if (ScaleHeight() - 10 <= kTextTop + textHeight) heightTwips_ = (kTextTop + textHeight + 10) * tppy;

  const bool buttonRow = ButtonCode(0) > 0 || ButtonCode(3) > 0;
  int buttonTop = ToPixelsY(kButtonTop);
  const int buttonHeight = ToPixelsY(kButtonHeight);
  if (buttonRow) {
    int last = 0;
    for (int i = 3; i >= 1 && last == 0; --i) last = ButtonCode(i) > 0 ? i : 0;
    buttonTop = kTextTop + textHeight + 10;
    const double rowRight = (ToPixelsX(kButtonLeft[last]) + ToPixelsX(kButtonWidth) + 15) * tppx;
    if (rowRight > widthTwips_) widthTwips_ = rowRight;
    heightTwips_ = (buttonTop + buttonHeight + 12) * tppy;
  }
  int width = ToPixelsX(widthTwips_);
  int height = ToPixelsY(heightTwips_);
  CapToWorkArea(width, height, buttonRow);
  resize(width, height);
  if (buttonRow && height < buttonTop + buttonHeight + 12) buttonTop = height - 12 - buttonHeight;
  PlaceButtons(ScaleWidth(), buttonTop);

  if (Timeout != 0) {
    if (!m_TitleBase.isEmpty()) m_TitleBase += QStringLiteral(" -");
    m_Timeout = Timeout;
    Timer1->Start(1000, [this] { Timer1_Timer(); });
  } else {
    Timer1->Stop();
  }

  DrawFace(width, height, buttonRow);
  lblTitle->setGeometry(2, 8, ScaleWidth(), 24);
  DrawIcon();
  SetWindowShape(static_cast<int>(RoundHalfEven(widthTwips_ / tppx - 2)),
                 static_cast<int>(RoundHalfEven(heightTwips_ / tppy - 2)));
  if (!FitFlag) move(m_CursorPos);
  FitToWorkArea(FitFlag);
}

// The title in the bold title font. The bold Tahoma the program registers
// draws its slash with a blank's width of space after it, so that a path
// read "/ tmp/ card/": a title's slashes are drawn in the regular weight,
// which has no such gap. Blanks are kept as typed.
void frmMsgBox::ShowTitle(const QString& title) {
  if (!title.contains(QLatin1Char('/'))) {
    lblTitle->setTextFormat(Qt::PlainText);
    lblTitle->setText(title);
    return;
  }
  QString html = title.toHtmlEscaped();
  html.replace(QLatin1Char('/'), QStringLiteral("<span style=\"font-weight:400\">/</span>"));
  lblTitle->setTextFormat(Qt::RichText);
  lblTitle->setText(QStringLiteral("<span style=\"white-space:pre\">") + html + QStringLiteral("</span>"));
}

// A box larger than the work area is cut to it; the message then scrolls in
// its place, keeping its line breaks, and the buttons stay at the bottom.
void frmMsgBox::CapToWorkArea(int& width, int& height, bool buttonRow) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect work = screen->availableGeometry();
  if (width <= work.width() && height <= work.height()) return;
  width = std::min(width, work.width());
  height = std::min(height, work.height());
  widthTwips_ = width * TwipsPerPixelX();
  heightTwips_ = height * TwipsPerPixelY();
  const int below = buttonRow ? 12 + ToPixelsY(kButtonHeight) + 10 : 10;
  const QSize text = txtMessage->size();
  scrollMessage->setGeometry(kTextLeft, kTextTop, std::min(text.width(), width - kTextLeft - 6),
                             std::min(text.height(), height - kTextTop - below));
}

// Right-aligned, 5 pixels apart, 15 from the right edge; hidden buttons leave no gap.
void frmMsgBox::PlaceButtons(int scaleWidth, int buttonTop) {
  const int buttonWidth = ToPixelsX(kButtonWidth);
  const int buttonHeight = ToPixelsY(kButtonHeight);
  for (int i = 0; i < 4; ++i) {
    cmdButton[i]->setGeometry(ToPixelsX(kButtonLeft[i]), buttonTop, buttonWidth, buttonHeight);
  }
  double x = RoundHalfEven(scaleWidth - buttonWidth - 15.0);
  for (int i = 3; i >= 0; --i) {
    if (tags_[i].isEmpty()) continue;
    cmdButton[i]->move(static_cast<int>(x), buttonTop);
    x = RoundHalfEven(x - buttonWidth - 5);
  }
}

void frmMsgBox::DrawFace(int width, int height, bool buttonRow) {
  face_ = std::make_shared<ImageSurface>(width, height);
  const int tppx = static_cast<int>(RoundHalfEven(TwipsPerPixelX()));
  const int tppy = static_cast<int>(RoundHalfEven(TwipsPerPixelY()));
  DrawGradient(*face_, static_cast<int>(RoundHalfEven(widthTwips_)) / tppx,
               static_cast<int>(RoundHalfEven(heightTwips_)) / tppy, 30, gSchemeColour1, gSchemeColour2, false);

  CairoContext cc(face_);
  cc.SetSourceColour(gSchemeColour4);
  cc.SetLineWidth(2);
  // The title band is filled, so that the white title reads on any face.
  cc.Rectangle(0, 0, ScaleWidth(), 29);
  cc.Fill(true);
  cc.Stroke();
  if (buttonRow) {
    const double y = cmdButton[0]->y() - 8;
    cc.MoveTo(10, y);
    cc.LineTo(ScaleWidth() - 15, y);
    cc.Stroke();
  }
  const double right = RoundHalfEven(widthTwips_ / TwipsPerPixelX() - 4);
  const double bottom = RoundHalfEven(heightTwips_ / TwipsPerPixelY() - 4);
  cc.SetLineWidth(4);
  cc.RoundedRect(1, 1, right - 1, bottom - 1, kCornerRadius);
  cc.Stroke();
}

void frmMsgBox::DrawIcon() {
  if (shellIcon_) {
    DrawShellIcon(m_IconID);
  } else if (m_IconID == 1 || m_IconID == 2) {
    DrawPixmap(*face_, 8, 8, DragListPicture(m_IconID == 1 ? QStringLiteral("MEDIAINFO") : QStringLiteral("LOGO")));
  } else if (m_IconID != 0) {
    DrawPixmap(*face_, 8, 8, SystemIcon(m_IconID));
  }
}

void frmMsgBox::DrawShellIcon(int n) { DrawPixmap(*face_, 4, 4, ShellIcon(n)); }

void frmMsgBox::SetWindowShape(int width, int height) {
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0, 0, width, height), kCornerRadius, kCornerRadius);
  setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void frmMsgBox::FitToWorkArea(bool FitFlag) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const double tppx = TwipsPerPixelX();
  const double tppy = TwipsPerPixelY();
  const QRect area = screen->availableGeometry();
  const double left = area.left() * tppx;
  const double top = area.top() * tppy;
  const double right = (area.right() + 1) * tppx;
  const double bottom = (area.bottom() + 1) * tppy;
  const double w = widthTwips_;
  const double h = heightTwips_;
  const double currentLeft = x() * tppx;
  const double currentTop = y() * tppy;
  double l = currentLeft;
  double t = currentTop;
  if (FitFlag) {
    t = RoundHalfEven(std::abs(bottom / 2 - h / 2));
    l = RoundHalfEven(std::abs(right / 2 - w / 2));
    if (t < top) t = top;
    if (bottom - h < t) t = RoundHalfEven(bottom - h);
    if (l < left) l = left;
  } else {
    if (currentTop - 150 < top) t = top + 150;
    if (currentLeft - 150 < left) l = left + 150;
    if (currentTop + h + 150 > bottom) t = RoundHalfEven(bottom - h - 150);
    if (currentLeft + w + 150 > right) l = RoundHalfEven(right - w - 150);
  }
  move(ToPixelsX(l), ToPixelsY(t));
}

void frmMsgBox::MakeTopmostFor(QWidget* owner) {
  // An owner without a private device context (a "HasDC" property of false)
  // gets a box that stays above every window; without an owner nothing changes.
  if (!owner) return;
  const QVariant hasDC = owner->property("HasDC");
  if (hasDC.isValid() && !hasDC.toBool()) setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void frmMsgBox::paintEvent(QPaintEvent*) {
  if (!face_) return;
  face_->Flush();
  QPainter painter(this);
  painter.drawImage(0, 0, face_->Image());
}
