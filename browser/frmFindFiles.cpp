#include "browser/frmFindFiles.h"

#include "browser/LibraryTreePane.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/ImageSurface.h"
#include "platform/LongWork.h"
#include "platform/MessageBoxSeam.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/controls/Label.h"
#include "platform/controls/TextBox.h"
#include "resources/Resources.h"
#include "ui/FormDesign.h"
#include "ui/SchemeColours.h"
#include "ui/cWindowMgr.h"
#include "ui/frmGlass.h"
#include "ui/modGradientFill.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <functional>

QImage gSearchBanner;

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 300;
// The gradient band: a 200-pixel ramp after a 35-pixel strip.
constexpr int kRampWidth = 200;
constexpr int kBand = 35;
// SEARCH's errors of this number are passed over, the next step running.
constexpr int32_t kErrPassedOver = static_cast<int32_t>(0x80004005u);

QString Css(const char* property, COLORREF colour) {
  return QStringLiteral("%1: %2;").arg(QLatin1String(property), ColorRefToQColor(colour).name());
}

void SetBackColour(QWidget* control, COLORREF colour) {
  if (auto* label = dynamic_cast<ctl::Label*>(control)) {
    label->SetBackColor(colour);
  } else if (auto* box = dynamic_cast<ctl::TextBox*>(control)) {
    box->Edit()->setStyleSheet(Css("background-color", colour));
  } else {
    QPalette palette = control->palette();
    palette.setColor(control->backgroundRole(), ColorRefToQColor(colour));
    control->setPalette(palette);
    control->setAutoFillBackground(true);
  }
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
  auto* check = FormDesign::Make<QCheckBox>(parent, name);
  check->setText(QLatin1String(caption));
  check->setGeometry(left, top, width, 20);
  return check;
}

ctl::TextBox* MakeTextBox(QWidget* parent, const char* name, int left, int top, int width) {
  auto* box = FormDesign::Make<ctl::TextBox>(parent, name);
  box->Move(left, top, width, 22);
  return box;
}

}  // namespace

void FormShape::SetBorderColor(COLORREF colour) {
  border_ = colour;
  update();
}

void FormShape::SetFillColor(COLORREF colour) {
  fill_ = colour;
  update();
}

void FormShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorRefToQColor(fill_));
  painter.setPen(ColorRefToQColor(border_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

frmFindFiles::frmFindFiles() {
  setObjectName(QStringLiteral("frmFindFiles"));
  setWindowTitle(QStringLiteral("Find Files"));
  setWindowFlags(Qt::Dialog);
  setFixedSize(kWidth, kHeight);
  CreateControls();
  Form_Load();
}

frmFindFiles::~frmFindFiles() {
  ctl::Control::EndEvents(*this);
  modReelwise::SetDropShadow(this, false);
}

void frmFindFiles::CreateControls() {
  using FormDesign::Make;
  using FormDesign::MakeLabel;
  Image1 = Make<QLabel>(this, "Image1");
  Image1->setGeometry(0, 0, kRampWidth + kBand, 64);
  Caption = MakeLabel(this, QStringLiteral("Caption"), QStringLiteral(" Search For"), 12, 76, 356, 18);
  Caption->SetBackStyle(1);
  txtSearchExpression = MakeTextBox(this, "txtSearchExpression", 20, 100, 340);
  CreateOptions();
  Edge = Make<FormShape>(this, "Edge");
  Edge->setGeometry(12, 266, 356, 2);
  txtSearchFeedback = MakeTextBox(this, "txtSearchFeedback", 12, 272, 210);
  txtSearchFeedback->Edit()->setReadOnly(true);
  txtSearchFeedback->Edit()->setFrame(false);
  txtSearchFeedback->setFocusPolicy(Qt::NoFocus);
  lblFind = MakeLabel(this, QStringLiteral("lblFind"), QStringLiteral("SEARCH"), 236, 276, 60, 18);
  lblCancel = MakeLabel(this, QStringLiteral("lblCancel"), QStringLiteral("CANCEL"), 300, 276, 68, 18);
  lblFind->Click = [this] { lblFind_Click(); };
  lblCancel->Click = [this] { lblCancel_Click(); };
  Command1 = Make<QPushButton>(this, "Command1");
  Command1->hide();
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  Command2 = Make<QPushButton>(this, "Command2");
  Command2->hide();
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  txtSearchExpression->GotFocus = [this] { txtSearchExpression_GotFocus(); };
}

void frmFindFiles::CreateOptions() {
  Border = FormDesign::Make<FormShape>(this, "Border");
  Border->setGeometry(12, 130, 356, 74);
  chkSearchFileNames = MakeCheck(this, "chkSearchFileNames", "Filenames", 24, 136, 200);
  chkSearchAliases = MakeCheck(this, "chkSearchAliases", "Titles/Aliases", 24, 158, 200);
  chkSearchDescriptions = MakeCheck(this, "chkSearchDescriptions", "Descriptions", 24, 180, 200);
  chkSearchInResults = MakeCheck(this, "chkSearchInResults", "Search Within Current Results", 20, 212, 300);
  chkSaveSearch = MakeCheck(this, "chkSaveSearch", "Save this search as:", 20, 237, 150);
  txtSearchName = MakeTextBox(this, "txtSearchName", 172, 236, 188);
  connect(chkSaveSearch, &QCheckBox::clicked, this, [this] { chkSaveSearch_Click(); });
}

// The overlay behind, the banner and colours, and the options and text of
// the last search.
void frmFindFiles::Form_Load() {
  ShowGlass(gTreeHwnd ? gTreeHwnd->window() : nullptr);
  modReelwise::SetDropShadow(this, true);
  if (gSearchBanner.isNull()) gSearchBanner = LoadResPicture(QStringLiteral("SEARCH_BANNER"), kResCustom);
  Image1->setPixmap(QPixmap::fromImage(gSearchBanner));
  ImageSurface surface(kRampWidth + kBand, height());
  DrawGradient(surface, kRampWidth, height(), kBand, gSchemeColour4, gSchemeColour1, false);
  surface.Flush();
  gradient_ = surface.Image().copy();
  ColourControls();
  chkSearchFileNames->setChecked(gSearchSettings.mid(0, 1) == QLatin1String("F"));
  chkSearchAliases->setChecked(gSearchSettings.mid(1, 1) == QLatin1String("A"));
  chkSearchDescriptions->setChecked(gSearchSettings.mid(2, 1) == QLatin1String("D"));
  txtSearchExpression->SetText(gSearchSettings.mid(4));
  chkSaveSearch->setChecked(false);
  txtSearchFeedback->SetText(QString());
}

void frmFindFiles::ColourControls() {
  for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    const QString name = control->objectName();
    if (name == QLatin1String("Edge")) {
      Edge->SetBorderColor(gSchemeColour4);
      Edge->SetFillColor(gSchemeColour4);
    } else if (name == QLatin1String("Border")) {
      Border->SetBorderColor(gSchemeColour4);
      Border->SetFillColor(gSchemeColour1);
    } else if (name == QLatin1String("Caption")) {
      Caption->SetBackColor(gSchemeColour4);
      Caption->SetForeColor(gSchemeColour1);
    } else if (control != Image1) {
      SetBackColour(control, gSchemeColour1);
    }
  }
  for (ctl::Label* action : {lblFind, lblCancel}) {
    action->setCursor(gHandCursor);
    action->SetForeColor(gSchemeColour4);
  }
  SetBackColour(txtSearchExpression, gSchemeColour2);
  SetBackColour(txtSearchName, gSchemeColour1);
}

void frmFindFiles::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (activated_) return;
  activated_ = true;
  CentreOverMainWindow(this);
  Form_Activate();
}

// A saved search being edited ticks the options its flags name; an option
// whose letter is absent keeps its state from Load.
void frmFindFiles::Form_Activate() {
  const bool editing = !gFindFilesMode.isEmpty() && gFindFilesMode != QLatin1String("SAVE");
  if (gFindFilesMode == QLatin1String("SAVE")) {
    txtSearchName->SetText(QStringLiteral("New Search"));
    txtSearchName->SetEnabled(true);
    chkSaveSearch->setChecked(true);
    chkSaveSearch->setEnabled(true);
  } else if (editing) {
    if (gFindFilesMode.mid(3, 1) == QLatin1String("F")) chkSearchFileNames->setChecked(true);
    if (gFindFilesMode.mid(4, 1) == QLatin1String("A")) chkSearchAliases->setChecked(true);
    if (gFindFilesMode.mid(5, 1) == QLatin1String("D")) chkSearchDescriptions->setChecked(true);
    txtSearchExpression->SetText(gFindFilesMode.mid(7));
    chkSaveSearch->setChecked(true);
    chkSaveSearch->setEnabled(false);
    const ctl::Node* edited = gTreeHwnd ? gTreeHwnd->SelectedItem() : nullptr;
    editedKey_ = edited ? edited->Key() : QString();
    txtSearchName->SetEnabled(true);
    txtSearchName->SetText(edited ? edited->Text() : QString());
  } else {
    txtSearchName->SetText(QString());
    txtSearchName->SetEnabled(false);
    chkSaveSearch->setChecked(false);
    chkSaveSearch->setEnabled(true);
  }
  chkSaveSearch_Click();
  txtSearchExpression->SetFocus();
  txtSearchExpression_GotFocus();
}

void frmFindFiles::chkSaveSearch_Click() {
  const bool save = chkSaveSearch->isChecked();
  txtSearchName->SetEnabled(save);
  SetBackColour(txtSearchName, save ? gSchemeColour2 : gSchemeColour1);
}

void frmFindFiles::txtSearchExpression_GotFocus() {
  txtSearchExpression->SetSelStart(0);
  txtSearchExpression->SetSelLength(static_cast<int>(txtSearchExpression->Text().size()));
}

QString frmFindFiles::LookInFlags() const {
  QString flags = QStringLiteral("123");
  if (chkSearchFileNames->isChecked()) flags.replace(QLatin1Char('1'), QLatin1Char('F'));
  if (chkSearchAliases->isChecked()) flags.replace(QLatin1Char('2'), QLatin1Char('A'));
  if (chkSearchDescriptions->isChecked()) flags.replace(QLatin1Char('3'), QLatin1Char('D'));
  return flags;
}

void frmFindFiles::lblFind_Click() {
  const QString flags = LookInFlags() + QLatin1Char(':');
  if (flags == QLatin1String("123:")) {
    Refuse(QStringLiteral("You have not selected any of the 'Look In' options!"),
           QStringLiteral("Nothing to look for"));
    return;
  }
  const QString text = txtSearchExpression->Text();
  // "|" begins the next step of a view, so the text would end the search
  // step and start one that means something else.
  if (text.contains(QLatin1Char('|'))) {
    Refuse(QStringLiteral("The search text cannot contain the character '|'.\r\nPlease remove it and search again."),
           QStringLiteral("Invalid Search Text"));
    return;
  }
  const QString spec = (chkSearchInResults->isChecked() ? QStringLiteral("|+?") : QStringLiteral("|_?")) + flags + text;
  if (chkSaveSearch->isChecked() && txtSearchName->Text().trimmed().isEmpty()) {
    Refuse(QStringLiteral("If you wish to save this search you must give it a name!"),
           QStringLiteral("No name specified!"));
    return;
  }
  if (!SearchStep([&] { SaveSearch(spec); })) return;
  if (!SearchStep([&] {
        modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("SearchSettings"), flags);
        gSearchSettings = flags + text;
      })) {
    return;
  }
  // The window shows without the dialog and its glass before the search
  // runs; nothing else is handled in between.
  QRect covered = frameGeometry();
  hide();
  if (gGlassForm) {
    covered |= gGlassForm->frameGeometry();
    gGlassForm->hide();
  }
  LongWork::PaintUncovered(covered);
  SearchStep([&] {
    if (gLibrary) gLibrary->ShowView(spec, QStringLiteral("Search: "));
  });
}

void frmFindFiles::lblCancel_Click() {
  gFindFilesMode.clear();
  hide();
}

void frmFindFiles::SaveSearch(const QString& spec) {
  if (!gLibrary || !chkSaveSearch->isChecked()) return;
  const QString name = txtSearchName->Text();
  if (chkSaveSearch->isEnabled()) {
    gLibrary->SaveView(spec, name, true);
  } else {
    ReplaceSavedSearch(spec, name);
  }
}

// The new search is stored before the old one is deleted, in one
// transaction: a failure leaves the old search as it was, and the new one
// never takes the old one's TagID while the old node still holds its key.
void frmFindFiles::ReplaceSavedSearch(const QString& spec, const QString& name) {
  ctl::TreeView* tree = gTreeHwnd;
  QString added;
  try {
    TransactionGuard guard(gLibrary->Connection(), QStringLiteral("ReplaceSearch"));
    gLibrary->SaveView(spec, name, true);
    // SaveView leaves the new search's node selected.
    const ctl::Node* node = tree ? tree->SelectedItem() : nullptr;
    if (node && node->Key() != editedKey_) added = node->Key();
    QString key = editedKey_;
    if (!key.isEmpty()) gLibrary->DeleteTreeNode(key);
    guard.Commit();
  } catch (...) {
    // The rows are as they were; so is the tree.
    if (tree && !added.isEmpty() && tree->Nodes.Exists(added)) tree->Nodes.Remove(added);
    throw;
  }
  if (tree && tree->Nodes.Exists(editedKey_)) tree->Nodes.Remove(editedKey_);
}

bool frmFindFiles::SearchStep(const std::function<void()>& step) {
  QString description;
  try {
    step();
    return true;
  } catch (const RWError& error) {
    if (error.Number() == kErrPassedOver) return true;
    description = ErrorGuard::InOwnWords(error, error.Description());
  } catch (const std::exception& error) {
    description = QString::fromUtf8(error.what());
  }
  ShowProgramMessage(QStringLiteral("Error ") + description, vbExclamation, QStringLiteral("Error Initialising Search"),
                     isVisible() ? this : parentWidget());
  return false;
}

void frmFindFiles::Refuse(const QString& text, const QString& title) {
  ShowProgramMessage(text, vbExclamation, title, this);
}

void frmFindFiles::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorRefToQColor(gSchemeColour1));
  painter.drawImage(0, 0, gradient_);
}

void frmFindFiles::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Command1->click();
  } else if (event->key() == Qt::Key_Escape) {
    Command2->click();
  } else {
    QWidget::keyPressEvent(event);
  }
}
