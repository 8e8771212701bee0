#include "options/frmProgramOptions.h"

#include "core/modReelwise.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "ui/SchemeColours.h"
#include "ui/cWindowMgr.h"
#include "ui/frmGlass.h"
#include "ui/ucCarouselOptionsPanel.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

std::vector<MediaButtonFaces> gMediaButtons;
QImage gAddFilesBanner;
std::function<void()> frmProgramOptions::RepaintInScheme;
std::function<QWidget*()> frmProgramOptions::SchemeWindow;
frmProgramOptions::MainWindowHooks frmProgramOptions::Main;
std::function<void(const char*)> frmProgramOptions::SchemeStepWatch;

namespace {

constexpr int kDialogWidth = 660;
constexpr int kDialogHeight = 500;
constexpr int kLabelLeft = 20;
constexpr int kLabelWidth = 150;
constexpr int kGap = 80;  // the space that opens under the selected label
constexpr QRect kPageRect(200, 80, 440, 370);

const char* const kCaptions[] = {"", "GENERAL", "MENU CONFiG", "StORY BOARDS", "tV-OUt", "LiBRARY iNFO", "COLOURS"};
const char* const kHints[] = {"",
                              "Change general program settings to suit your preferences",
                              "Configure menu options for the use of other programs from within Reelwise II",
                              "Configure the way that file preview images are laid out and displayed",
                              "Edit preferences for TV-Out Mode",
                              "Overview and statistics relating to this Library's content",
                              "Adjust Reelwise II's colour scheme"};

}  // namespace

OptionsShape::OptionsShape(QWidget* parent, const QString& name, bool filled) : QWidget(parent), filled_(filled) {
  setObjectName(name);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void OptionsShape::SetBorderColor(COLORREF colour) {
  border_ = colour;
  update();
}

void OptionsShape::SetFillColor(COLORREF colour) {
  fill_ = colour;
  update();
}

void OptionsShape::SetLine(int X1, int Y1, int X2, int Y2) {
  line_ = true;
  x1_ = X1, y1_ = Y1, x2_ = X2, y2_ = Y2;
  setGeometry(QRect(QPoint(std::min(X1, X2), std::min(Y1, Y2)), QPoint(std::max(X1, X2), std::max(Y1, Y2))));
  update();
}

void OptionsShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (line_) {
    painter.fillRect(rect(), ColorRefToQColor(border_));
    return;
  }
  if (filled_) painter.fillRect(rect(), ColorRefToQColor(fill_));
  painter.setPen(ColorRefToQColor(border_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

frmProgramOptions::frmProgramOptions() {
  setObjectName(QStringLiteral("frmProgramOptions"));
  setWindowTitle(QStringLiteral("Program Options"));
  setFixedSize(kDialogWidth, kDialogHeight);
  CreateFrame();
  CreateGeneralPage();
  CreateExternalAppsPage();
  CreateStoryBoardPage();
  CreateCarouselPage();
  CreateStatisticsPage();
  CreateColourPage();
}

// Unloading takes the drop shadow off the window again.
frmProgramOptions::~frmProgramOptions() {
  ctl::Control::EndEvents(*this);
  if (loaded_) modReelwise::SetDropShadow(this, false);
}

void frmProgramOptions::CreateFrame() {
  for (int i = 1; i <= 6; ++i) {
    auto* page = new ctl::PictureBox(this);
    page->setObjectName(QStringLiteral("picProgOptions"));
    page->setGeometry(kPageRect);
    picProgOptions[i] = page;
    auto* label = new ctl::Label(this);
    label->setObjectName(QStringLiteral("lblOptionGroup"));
    label->SetCaption(QLatin1String(kCaptions[i]));
    label->SetFontName(QStringLiteral("Galant"));
    label->SetFontSize(14);
    // The captions are written for a face of capitals, whose small letters
    // "i" and "t" are capitals too ("MENU CONFiG"); in the faces this
    // machine has they are drawn as capitals, not as "StORY BOARDS".
    QFont capitals = label->font();
    capitals.setCapitalization(QFont::AllUppercase);
    label->setFont(capitals);
    label->SetBackStyle(0);
    label->SetTag(QString::number(32 + 46 * (i - 1)));
    label->setGeometry(kLabelLeft, 32 + 46 * (i - 1), kLabelWidth, 30);
    label->Click = [this, i] { lblOptionGroup_Click(static_cast<int16_t>(i)); };
    lblOptionGroup[i] = label;
  }
  lblOptionGroupHint = new ctl::Label(this);
  lblOptionGroupHint->setObjectName(QStringLiteral("lblOptionGroupHint"));
  lblOptionGroupHint->SetWordWrap(true);
  lblOptionGroupHint->SetBackStyle(0);
  for (size_t i = 0; i < Line1.size(); ++i) Line1[i] = new OptionsShape(this, QStringLiteral("Line1"), false);
  Line1[1]->hide();
  // Line 3 runs down from the right end of line 2, right of the page labels
  // and the hint, so it crosses none of them.
  Line1[3]->SetLine(kLabelLeft + 16 + kLabelWidth, 0, kLabelLeft + 16 + kLabelWidth, kDialogHeight - 20);
  Image1 = new ctl::PictureBox(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(kDialogWidth - 255 - 20, 8, 255, 64);
  picOptionsIcon = new ctl::PictureBox(this);
  picOptionsIcon->setObjectName(QStringLiteral("picOptionsIcon"));
  picOptionsIcon->setGeometry(kDialogWidth - 255 - 80, 16, 48, 48);
  lblDone = new ctl::Label(this);
  lblDone->setObjectName(QStringLiteral("lblDone"));
  lblDone->SetCaption(QStringLiteral("DONE"));
  lblDone->SetFontSize(12);
  lblDone->SetBackStyle(0);
  lblDone->setGeometry(kDialogWidth - 90, kDialogHeight - 40, 70, 24);
  lblDone->Click = [this] { lblDone_Click(); };
  cmdClose = new QPushButton(QStringLiteral("Done"), this);
  cmdClose->setObjectName(QStringLiteral("cmdClose"));
  cmdClose->setGeometry(-200, -200, 60, 24);  // kept off the face; Enter and Esc still reach it
  cmdClose->setDefault(true);
  connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
  // Esc closes the dialog as its close button does, from whichever control
  // has the focus (the pages, which take the keys that reach them, never
  // pass it on).
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] { lblDone_Click(); });
}

// The load's steps in order; each page fills its own part.
void frmProgramOptions::Load() {
  if (loaded_) return;
  loaded_ = true;
  CentreOverMainWindow(this);
  CreateCarouselSliders();
  if (gGlassForm) modReelwise::SetDropShadow(gGlassForm, false);
  modReelwise::SetDropShadow(this, true);
  SetBusy(true);
  for (int i = 1; i <= 6; ++i) lblOptionGroup[i]->setCursor(gHandCursor);
  lblDone->setCursor(gHandCursor);
  lblApplyColours->setCursor(gHandCursor);
  LoadColourPage();
  SetBusy(false);
  UpdateColourPreview();
  ColourOptionsForm();
  LoadStoryBoardPage();
  LoadGeneralPage();
  LoadExternalAppsPage();  // its rows take the scheme colours set above
  lblLibraryInfo->SetCaption(LibraryStatistics());
  lblOptionGroup_Click(StartPage);
}

void frmProgramOptions::SetBusy(bool busy) { picProgOptions[5]->SetTag(busy ? QStringLiteral("BUSY") : QString()); }

bool frmProgramOptions::Busy() const { return picProgOptions[5]->Tag() == QLatin1String("BUSY"); }

void frmProgramOptions::lblOptionGroup_Click(int16_t Index) {
  if (Index < 1 || Index > 6) Index = 1;
  picProgOptions[Index]->raise();
  for (int i = 1; i <= 6; ++i) {
    ctl::Label* label = lblOptionGroup[i];
    label->SetForeColor(0);
    const int rest = label->Tag().toInt();
    label->move(label->x(), i > Index ? rest + kGap : rest);
  }
  ctl::Label* selected = lblOptionGroup[Index];
  // Up to four lines fit in the gap the labels below leave.
  lblOptionGroupHint->setGeometry(selected->x(), selected->y() + 50, selected->width() + 10, 64);
  selected->SetForeColor(gSchemeColour2);
  const int x0 = selected->x() + 16;
  const int y0 = selected->y() + 32;
  Line1[0]->SetLine(x0, y0, x0 + kLabelWidth, y0);
  Line1[2]->SetLine(x0 + 16, y0 + 10, x0 + kLabelWidth, y0 + 10);
  Line1[3]->SetLine(Line1[3]->X1(), y0 + 10, Line1[3]->X2(), Line1[3]->Y2());
  lblOptionGroupHint->SetCaption(QLatin1String(kHints[Index]));
}

// The story-board values first, then the general ones; the colour page is
// saved only by APPLY.
void frmProgramOptions::lblDone_Click() {
  SaveStoryBoardPage();
  SaveGeneralPage();
  hide();
}

void frmProgramOptions::showEvent(QShowEvent* event) {
  Load();
  QWidget::showEvent(event);
}

// The carousel panel fills page 4.
void frmProgramOptions::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (CarouselOptions) CarouselOptions->setGeometry(picProgOptions[4]->contentsRect());
}

// The window's close button acts as DONE does, as the dialog has no cancel.
void frmProgramOptions::closeEvent(QCloseEvent* event) {
  event->ignore();
  lblDone_Click();
}

void frmProgramOptions::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorRefToQColor(gSchemeColour1));
  if (!gradient_.isNull()) painter.drawImage(0, 0, gradient_);
}
