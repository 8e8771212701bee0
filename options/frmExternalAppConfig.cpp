#include "options/frmExternalAppConfig.h"

#include "core/ExternalAppEntry.h"
#include "core/modReelwise.h"
#include "options/frmProgramOptions.h"
#include "platform/ColorRef.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/VbInput.h"
#include "ui/SchemeColours.h"
#include "ui/clsDialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

std::unique_ptr<frmExternalAppConfig> gExternalAppConfigForm;

namespace {

ExternalAppEntry* EntryAt(int n) {
  return n >= 1 && n <= kExternalAppCount ? &gExternalApps[static_cast<size_t>(n)] : nullptr;
}

void SetWidgetColour(QWidget* widget, QPalette::ColorRole role, COLORREF colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, ColorRefToQColor(colour));
  widget->setPalette(palette);
  widget->setAutoFillBackground(role == QPalette::Window || role == QPalette::Base);
}

ctl::TextBox* AddTextBox(QWidget* parent, const char* name, int y) {
  auto* box = new ctl::TextBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(120, y, 300, 22);
  return box;
}

ctl::Label* AddLabel(QWidget* parent, const char* name, const QString& caption, const QRect& place) {
  auto* label = new ctl::Label(parent);
  label->setObjectName(QLatin1String(name));
  label->SetCaption(caption);
  label->SetBackStyle(0);
  label->setGeometry(place);
  return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, const QRect& place) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(place);
  return button;
}

}  // namespace

frmExternalAppConfig::frmExternalAppConfig(frmProgramOptions* options) : QWidget(nullptr, Qt::Dialog), options_(options) {
  setObjectName(QStringLiteral("frmExternalAppConfig"));
  setWindowTitle(QStringLiteral("External Application"));
  setFixedSize(440, 270);
  CreateControls();
}

frmExternalAppConfig::~frmExternalAppConfig() {
  ctl::Control::EndEvents(*this);
  if (modalLoop_) modalLoop_->quit();
}

const std::array<QString, 10>& frmExternalAppConfig::Placeholders() {
  static const std::array<QString, 10> names = {
      QStringLiteral("<File>"),           QStringLiteral("<BackupFile>"),   QStringLiteral("<NewFile>"),
      QStringLiteral("<FocusedFile>"),    QStringLiteral("<SelectionStart>"), QStringLiteral("<SelectionEnd>"),
      QStringLiteral("<Duration>"),       QStringLiteral("<FilterGraph>"),  QStringLiteral("<ExternalAppPath>"),
      QStringLiteral("<Tags>")};
  return names;
}

void frmExternalAppConfig::CreateControls() {
  Caption = AddLabel(this, "Caption", QStringLiteral(" External Application"), QRect(0, 0, 440, 24));
  Caption->SetBackStyle(1);
  Edge = new OptionsShape(this, QStringLiteral("Edge"), false);
  Edge->setGeometry(rect());
  AddLabel(this, "lblMenuText", QStringLiteral("Menu Text"), QRect(10, 40, 100, 22));
  AddLabel(this, "lblExtensions", QStringLiteral("Extensions"), QRect(10, 70, 100, 22));
  AddLabel(this, "lblPath", QStringLiteral("Program"), QRect(10, 100, 100, 22));
  AddLabel(this, "lblCommandLine", QStringLiteral("Command Line"), QRect(10, 130, 100, 22));
  txtMenuText = AddTextBox(this, "txtMenuText", 40);
  txtExtensions = AddTextBox(this, "txtExtensions", 70);
  txtPath = AddTextBox(this, "txtPath", 100);
  txtPath->setGeometry(120, 100, 270, 22);
  txtCommandLine = AddTextBox(this, "txtCommandLine", 130);
  Command3 = AddButton(this, "Command3", QStringLiteral("..."), QRect(395, 100, 25, 22));
  const char* const boxes[] = {"", "File Inspector", "File Browser", "Tools Menu"};
  for (int i = 1; i <= 3; ++i) {
    chkContexts[i] = new QCheckBox(QLatin1String(boxes[i]), this);
    chkContexts[i]->setObjectName(QStringLiteral("chkContexts"));
    chkContexts[i]->setGeometry(120 + 105 * (i - 1), 165, 105, 22);
  }
  // The command line gives the program's arguments; the hint lists what it
  // may hold, in the room left of DONE and CANCEL.
  lblHint = AddLabel(this, "lblHint",
                     QStringLiteral("The Program is run with the Command Line as its arguments. Placeholders: ") +
                         QStringList(Placeholders().begin(), Placeholders().end()).join(QLatin1Char(' ')) +
                         QStringLiteral(" <AppTemp>"),
                     QRect(10, 192, 285, 72));
  lblHint->SetWordWrap(true);
  QFont hintFont = lblHint->font();
  hintFont.setPointSizeF(7.5);
  lblHint->setFont(hintFont);
  cmdDone = AddButton(this, "cmdDone", QStringLiteral("Done"), QRect(-200, -200, 60, 24));
  cmdDone->setDefault(true);
  cmdCancel = AddButton(this, "cmdCancel", QStringLiteral("Cancel"), QRect(-200, -200, 60, 24));
  lblApply = AddLabel(this, "lblApply", QStringLiteral("DONE"), QRect(300, 230, 60, 24));
  lblCancel = AddLabel(this, "lblCancel", QStringLiteral("CANCEL"), QRect(365, 230, 70, 24));
  connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  lblApply->Click = [this] { lblApply_Click(); };
  lblCancel->Click = [this] { lblCancel_Click(); };
  txtCommandLine->KeyDown = [this](int& keyCode, int shift) { txtCommandLine_KeyDown(keyCode, shift); };
  txtCommandLine->KeyUp = [this](int& keyCode, int shift) { txtCommandLine_KeyUp(keyCode, shift); };
  // ">" is a shifted key with no key code of its own here: its key press
  // marks it, and the edit that follows selects the pair.
  txtCommandLine->KeyPress = [this](int& keyAscii) { typedGreater_ = keyAscii == '>'; };
  connect(txtCommandLine->Edit(), &QLineEdit::textEdited, this, [this] {
    if (std::exchange(typedGreater_, false)) SelectPairBeforeCaret();
  });
  Edge->raise();
  Edge->setAttribute(Qt::WA_TransparentForMouseEvents);
}

// Every control takes its scheme colours by its name.
void frmExternalAppConfig::ColourControls() {
  for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    const QString name = control->objectName();
    if (auto* box = dynamic_cast<ctl::TextBox*>(control)) {
      SetWidgetColour(box->Edit(), QPalette::Base, gSchemeColour2);
    } else if (auto* shape = dynamic_cast<OptionsShape*>(control)) {
      shape->SetBorderColor(gSchemeColour4);
      if (name == QLatin1String("Border")) shape->SetFillColor(gSchemeColour1);
    } else if (auto* label = dynamic_cast<ctl::Label*>(control); label && name == QLatin1String("Caption")) {
      label->SetBackColor(gSchemeColour4);
      label->SetForeColor(gSchemeColour1);
    } else if (auto* other = dynamic_cast<ctl::Label*>(control)) {
      other->SetBackColor(gSchemeColour1);
    } else {
      SetWidgetColour(control, QPalette::Window, gSchemeColour1);
    }
  }
}

void frmExternalAppConfig::Load() {
  ColourControls();
  SetWidgetColour(this, QPalette::Window, gSchemeColour1);
  lblApply->setCursor(gHandCursor);
  lblCancel->setCursor(gHandCursor);
  placeholder_ = -1;
  selLength_ = 0;
  const ExternalAppEntry* entry = EntryAt(AppIndex);
  const ExternalAppEntry empty;
  const ExternalAppEntry& e = entry ? *entry : empty;
  txtPath->SetText(e.AppPath);
  txtCommandLine->SetText(e.CommandLine);
  txtExtensions->SetText(e.Extensions);
  txtMenuText->SetText(e.MenuText);
  chkContexts[3]->setChecked(e.Contexts >= 4);
  chkContexts[2]->setChecked((e.Contexts & 3) >= 2);
  chkContexts[1]->setChecked((e.Contexts & 1) != 0);
}

// The same window is never waited for twice.
void frmExternalAppConfig::ShowModal() {
  if (modalLoop_) return;
  Load();
  setWindowModality(Qt::ApplicationModal);
  show();
  activateWindow();
  QEventLoop loop;
  modalLoop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  modalLoop_ = nullptr;
}

void frmExternalAppConfig::Unload() {
  hide();
  if (modalLoop_) modalLoop_->quit();
}

void frmExternalAppConfig::closeEvent(QCloseEvent* event) {
  event->ignore();
  cmdCancel_Click();
}

int16_t frmExternalAppConfig::ContextsFromBoxes(bool inspector, bool browser, bool tools) {
  const int16_t menus = inspector && browser ? 3 : inspector ? 1 : browser ? 2 : 0;
  return static_cast<int16_t>(menus + (tools ? 4 : 0));
}

// The fields go into the entry, Enabled follows the entry's row on page 2,
// and the Tools menu is rebuilt.
void frmExternalAppConfig::cmdDone_Click() {
  if (options_) options_->setProperty("Tag", QStringLiteral("SAVE"));
  if (ExternalAppEntry* entry = EntryAt(AppIndex)) {
    entry->AppPath = txtPath->Text();
    entry->CommandLine = txtCommandLine->Text();
    entry->Extensions = txtExtensions->Text();
    entry->MenuText = txtMenuText->Text();
    if (options_ && options_->lvExternalApps && AppIndex <= options_->lvExternalApps->ListItems.Count()) {
      entry->Enabled = options_->lvExternalApps->ListItems.Item(AppIndex).Checked() ? 1 : 0;
    }
    entry->Contexts = ContextsFromBoxes(chkContexts[1]->isChecked(), chkContexts[2]->isChecked(),
                                        chkContexts[3]->isChecked());
  }
  Unload();
  if (frmProgramOptions::ExternalApps.InitExternalAppMenus) {
    frmProgramOptions::ExternalApps.InitExternalAppMenus(QString(), 0, true);
  }
}

void frmExternalAppConfig::cmdCancel_Click() { Unload(); }

// Linux programs carry no ".exe": the first filter shows every file.
void frmExternalAppConfig::Command3_Click() {
  if (!gDialogs) return;
  gDialogs->strFilter = QStringLiteral("Programs (*)|*|All files (*.*)|*.*");
  gDialogs->strTitle = QStringLiteral("Locate the External Application");
  const QString chosen = gDialogs->strGetOpenFileName();
  if (!chosen.isEmpty()) txtPath->SetText(chosen);
}

void frmExternalAppConfig::RecordSelection() {
  selStart_ = txtCommandLine->SelStart();
  selLength_ = txtCommandLine->SelLength();
}

void frmExternalAppConfig::txtCommandLine_KeyDown(int& keyCode, int) {
  RecordSelection();
  selText_ = txtCommandLine->SelText();
  if (keyCode == ctl::vbKeyLeft && selLength_ > 0) {
    txtCommandLine->SetSelLength(0);
    selLength_ = 0;
  }
}

// "<>" just typed is selected.
void frmExternalAppConfig::SelectPairBeforeCaret() {
  const int caret = txtCommandLine->SelStart();
  if (caret >= 2 && txtCommandLine->Text().mid(caret - 2, 2) == QLatin1String("<>")) {
    txtCommandLine->SetSelStart(caret - 2);
    txtCommandLine->SetSelLength(2);
  }
  RecordSelection();
}

// Left and Right select the whole placeholder beside the caret; Up and Down
// cycle the recorded one; the key code of the full stop (190) selects a "<>"
// pair before the caret.
void frmExternalAppConfig::txtCommandLine_KeyUp(int& keyCode, int) {
  if (keyCode == ctl::vbKeyPeriod) {
    SelectPairBeforeCaret();
  } else if (keyCode == ctl::vbKeyLeft) {
    SelectPlaceholderBeforeCaret();
  } else if (keyCode == ctl::vbKeyRight) {
    SelectPlaceholderAfterCaret();
  } else if (keyCode == ctl::vbKeyUp || keyCode == ctl::vbKeyDown) {
    if (selLength_ > 0) CyclePlaceholder(keyCode == ctl::vbKeyDown ? 1 : -1);
  } else if (keyCode < ctl::vbKeyLeft || keyCode > ctl::vbKeyPeriod) {
    return;
  }
  RecordSelection();
}

void frmExternalAppConfig::SelectPlaceholderBeforeCaret() {
  const QString text = txtCommandLine->Text();
  const int caret = txtCommandLine->SelStart();
  if (caret < 1 || text.at(caret - 1) != QLatin1Char('>')) return;
  const int open = static_cast<int>(text.lastIndexOf(QLatin1Char('<'), caret - 1));
  if (open < 0) return;
  txtCommandLine->SetSelStart(open);
  txtCommandLine->SetSelLength(caret - open);
}

void frmExternalAppConfig::SelectPlaceholderAfterCaret() {
  const QString text = txtCommandLine->Text();
  const int caret = txtCommandLine->SelStart();
  if (caret >= text.size() || text.at(caret) != QLatin1Char('<')) return;
  const int close = static_cast<int>(text.indexOf(QLatin1Char('>'), caret));
  if (close < 0) return;
  txtCommandLine->SetSelStart(caret);
  txtCommandLine->SetSelLength(close + 1 - caret);
}

// The recorded selection is replaced by the next (or previous) placeholder,
// once, searched from where it started, and the new one is selected.
void frmExternalAppConfig::CyclePlaceholder(int step) {
  const int count = static_cast<int>(Placeholders().size());
  placeholder_ = step > 0 ? (placeholder_ >= count - 1 ? 0 : placeholder_ + 1)
                          : (placeholder_ <= 0 ? count - 1 : placeholder_ - 1);
  const QString& name = Placeholders()[static_cast<size_t>(placeholder_)];
  QString text = txtCommandLine->Text();
  const int at = static_cast<int>(text.indexOf(selText_, selStart_));
  if (at < 0 || selText_.isEmpty()) return;
  text.replace(at, selText_.size(), name);
  txtCommandLine->SetText(text);
  txtCommandLine->SetSelStart(at);
  txtCommandLine->SetSelLength(static_cast<int>(name.size()));
}
