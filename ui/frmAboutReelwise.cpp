#include "ui/frmAboutReelwise.h"

#include "core/modReelwise.h"
#include "platform/ErrorGuard.h"
#include "platform/controls/Label.h"
#include "ui/FormDesign.h"
#include "ui/cWindowMgr.h"
#include "ui/frmGlass.h"
#include "ui/modReelwise_drawing.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace {

// Fixedsys stands in for the old terminal font of the scroller.
QFont TerminalFont() { return QFont(QStringLiteral("Fixedsys"), 9); }
QFont SansFont() { return QFont(QStringLiteral("MS Sans Serif"), 8); }
// Once a line is complete the cursor blinks for this many further ticks
// (13 in all) before the next line begins.
constexpr int16_t kLastBlink = 12;

ctl::Label* MakeText(QWidget* parent, const QString& name, const QString& caption, const QRect& place,
                     const QFont& font = SansFont()) {
  ctl::Label* label =
      FormDesign::MakeLabel(parent, name, caption, place.x(), place.y(), place.width(), place.height());
  label->setFont(font);
  return label;
}

QFrame* MakeLine(QWidget* parent, const QString& name, const QRect& place) {
  auto* line = FormDesign::Make<QFrame>(parent, name);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(place);
  return line;
}

}  // namespace

const QString frmAboutReelwise::kCredits = QStringLiteral(
    "the Qt Project for Qt|"
    "the SQLite authors for SQLite|"
    "MediaArea for the MediaInfo library|"
    "the Cairo and Pango projects|"
    "the mpv developers for libmpv|"
    "libjpeg-turbo and FFmpeg developers|"
    "everybody whose free code we build on");

frmAboutReelwise::frmAboutReelwise() {
  setObjectName(QStringLiteral("frmAboutReelwise"));
  setWindowTitle(QStringLiteral("About Reelwise"));
  setWindowFlags(Qt::Dialog);
  setFixedSize(400, 232);
  setFont(SansFont());
  CreateControls();
}

frmAboutReelwise::~frmAboutReelwise() { modReelwise::SetDropShadow(this, false); }

void frmAboutReelwise::CreateControls() {
  Shape1 = FormDesign::Make<QFrame>(this, "Shape1");
  Shape1->setFrameShape(QFrame::Box);
  Shape1->setGeometry(8, 8, 384, 180);
  imgWelcomeLogo = FormDesign::Make<QLabel>(this, "imgWelcomeLogo");
  imgWelcomeLogo->setGeometry(16, 16, 122, 118);
  Label1[0] = MakeText(this, QStringLiteral("Label1(0)"), QStringLiteral("Find it. Play it..."), {150, 24, 234, 16});
  Label1[1] = MakeText(this, QStringLiteral("Label1(1)"), QStringLiteral("powered by Cairo, SQLite and MediaInfo"),
                       {150, 44, 234, 16});
  lblVersion = MakeText(this, QStringLiteral("lblVersion"), QStringLiteral("Version: 1.6.5"), {150, 68, 234, 16});
  Line1[0] = MakeLine(this, QStringLiteral("Line1(0)"), {150, 92, 234, 2});
  lblDisclaimer[0] = MakeText(this, QStringLiteral("lblDisclaimer(0)"),
                              QStringLiteral("Questions and reports: forum.reelwise.example"), {150, 102, 234, 16});
  lblDisclaimer[1] = MakeText(this, QStringLiteral("lblDisclaimer(1)"),
                              QStringLiteral("\u00A9 Reelwise II developers, 2026"), {150, 120, 234, 16});
  Line1[1] = MakeLine(this, QStringLiteral("Line1(1)"), {16, 146, 368, 2});
  Label2 = MakeText(this, QStringLiteral("Label2"), QStringLiteral("Thanks:"), {16, 160, 64, 18}, TerminalFont());
  lblCredits = MakeText(this, QStringLiteral("lblCredits"), QStringLiteral("Thanks:"), {80, 160, 304, 18},
                        TerminalFont());
  cmdOK = FormDesign::Make<QPushButton>(this, "cmdOK");
  cmdOK->setText(QStringLiteral("OK"));
  cmdOK->setGeometry(304, 196, 80, 26);
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  // Esc and Enter close the box as its button does, whichever control has
  // the focus: a button of a box that is no dialog takes neither.
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, this, [this] { cmdOK_Click(); });
  }
  Timer1 = FormDesign::Make<QTimer>(this, "Timer1");
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, [this] { ErrorGuard().Run([this] { Timer1_Timer(); }); });
}

void frmAboutReelwise::setVisible(bool visible) {
  if (visible && !loaded_) {
    loaded_ = true;
    Form_Load();
  }
  QWidget::setVisible(visible);
}

void frmAboutReelwise::Form_Load() {
  CentreOverMainWindow(this);
  ShowGlass(parentWidget() ? parentWidget()->window() : nullptr);
  // Before the box is on screen: changing the shadow re-creates the window.
  modReelwise::SetDropShadow(this, true);
  imgWelcomeLogo->setPixmap(modReelwise::DrawLogo(imgWelcomeLogo->width(), imgWelcomeLogo->height()));
  lines_ = kCredits.split(QLatin1Char('|'));
  lineIndex_ = 0;
  charsShown_ = 0;
  Timer1->start();
}

void frmAboutReelwise::Timer1_Timer() {
  if (lines_.isEmpty()) return;  // not loaded yet
  const QString& line = lines_.value(lineIndex_);
  QString shown = line.left(charsShown_);
  if (BlinkCount % 2 == 0) shown += QLatin1Char('_');
  lblCredits->SetCaption(shown);
  ++charsShown_;
  if (charsShown_ <= line.size()) return;
  ++BlinkCount;
  if (BlinkCount <= kLastBlink) return;
  BlinkCount = 0;
  lineIndex_ = static_cast<int16_t>((lineIndex_ + 1) % lines_.size());
  charsShown_ = 0;
}

void frmAboutReelwise::cmdOK_Click() {
  Timer1->stop();
  hide();
}
