// Page 2, "MENU CONFiG": the thirty external applications of gExternalApps,
// each row ticked when the entry is enabled. Ticking writes the entry at once
// and refreshes the Tools menu; a double click opens the entry in the
// configuration window.
#include "options/frmExternalAppConfig.h"
#include "options/frmProgramOptions.h"

#include "core/ExternalAppEntry.h"
#include "core/ProgramMessage.h"
#include "core/modINIfiles.h"
#include "core/modReelwise.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/PictureBox.h"
#include "ui/SchemeColours.h"

#include <QTreeView>

frmProgramOptions::ExternalAppHooks frmProgramOptions::ExternalApps;

namespace {

const char* const kVisibility[] = {"None",  "Inspector",        "Browser",        "Browser, Inspector",
                                   "Tools", "Inspector, Tools", "Browser, Tools", "Browser, Inspector, Tools"};

QString IniPath() { return gDocsFolder + QStringLiteral("ExternalApps.ini"); }

ExternalAppEntry& Entry(int n) { return gExternalApps[static_cast<size_t>(n)]; }

}  // namespace

QString frmProgramOptions::VisibilityText(int contexts) {
  return contexts >= 0 && contexts <= 7 ? QLatin1String(kVisibility[contexts]) : QString();
}

void frmProgramOptions::CreateExternalAppsPage() {
  ctl::PictureBox* page = picProgOptions[2];
  lvExternalApps = new ctl::ListView(page);
  lvExternalApps->setObjectName(QStringLiteral("lvExternalApps"));
  lvExternalApps->setGeometry(10, 10, 420, 320);
  lvExternalApps->SetCheckboxes(true);
  // The three columns are wider than the page and the thirty rows taller:
  // both scroll bars come when needed.
  lvExternalApps->View()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  lvExternalApps->View()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  lvExternalApps->ItemCheck = [this](ctl::ListItem& item) { lvExternalApps_ItemCheck(item); };
  lvExternalApps->DblClick = [this] { lvExternalApps_DblClick(); };
  lblExternalAppsHint = new ctl::Label(page);
  lblExternalAppsHint->setObjectName(QStringLiteral("lblExternalAppsHint"));
  lblExternalAppsHint->SetBackStyle(0);
  lblExternalAppsHint->SetCaption(QStringLiteral("Check/un-check to enable/disable. Double-click to configure."));
  lblExternalAppsHint->setGeometry(10, 338, 420, 20);
}

// The three columns, set up when the dialog loads.
void frmProgramOptions::LoadExternalAppsPage() {
  lvExternalApps->ColumnHeaders.Clear();
  lvExternalApps->ColumnHeaders.Add(0, QString(), QStringLiteral("Menu Item"), 200);
  lvExternalApps->ColumnHeaders.Add(0, QString(), QStringLiteral("Extensions"), 140).SetAlignment(2);
  lvExternalApps->ColumnHeaders.Add(0, QString(), QStringLiteral("Visibility"), 145).SetAlignment(2);
  RefreshExternalAppsList();
}

// One row per entry 1 to 30, empty ones included.
void frmProgramOptions::RefreshExternalAppsList() {
  lvExternalApps->ListItems.Clear();
  for (int n = 1; n <= kExternalAppCount; ++n) {
    const ExternalAppEntry& entry = Entry(n);
    ctl::ListItem& item = lvExternalApps->ListItems.Add(0, QString(), entry.MenuText);
    item.SetSubItems(1, entry.Extensions);
    item.SetSubItems(2, VisibilityText(entry.Contexts));
    item.SetChecked(entry.Enabled != 0);
    ColourExternalAppRow(item);
  }
}

// Black when ticked, the fourth scheme colour when not.
void frmProgramOptions::ColourExternalAppRow(ctl::ListItem& item) {
  const COLORREF colour = item.Checked() ? 0 : gSchemeColour4;
  item.SetForeColor(colour);
  for (int i = 1; i <= item.ListSubItems.Count(); ++i) item.ListSubItems.Item(i).SetForeColor(colour);
}

// Writes the six keys of entry n, then gives mnuApp(n) its caption. A file
// that cannot be written is reported once; the table keeps the entry.
void frmProgramOptions::SaveExternalApp(int n) {
  if (n < 1 || n > kExternalAppCount) return;
  const ExternalAppEntry& entry = Entry(n);
  const QString section = QStringLiteral("App") + QString::number(n);
  const QString file = IniPath();
  const std::pair<const char*, QString> keys[] = {
      {"AppPath", entry.AppPath},       {"CommandLine", entry.CommandLine},
      {"MenuText", entry.MenuText},     {"Extensions", entry.Extensions},
      {"Contexts", QString::number(entry.Contexts)}, {"Enabled", QString::number(entry.Enabled)}};
  bool written = true;
  for (const auto& [key, value] : keys) {
    if (!modINIfiles::WriteIniString(section, QLatin1String(key), value, file)) {
      written = false;
      break;
    }
  }
  if (!written) {
    ShowProgramMessage(QStringLiteral("The external application could not be saved to '") + file +
                           QStringLiteral("'."),
                       48, QString(), this);
  }
  if (ExternalApps.SetAppCaption) ExternalApps.SetAppCaption(n, entry.MenuText);
}

void frmProgramOptions::lvExternalApps_ItemCheck(ctl::ListItem& item) {
  const int n = item.Index();
  Entry(n).Enabled = item.Checked() ? 1 : 0;
  SaveExternalApp(n);
  if (ExternalApps.InitExternalAppMenus) ExternalApps.InitExternalAppMenus(QString(), 0, true);
  ColourExternalAppRow(item);
}

// The selected entry in the configuration window; the entry is written back
// and the list refilled whether or not it was changed there.
void frmProgramOptions::lvExternalApps_DblClick() {
  const ctl::ListItem* item = lvExternalApps->SelectedItem();
  if (!item) return;
  if (gExternalAppConfigForm && gExternalAppConfigForm->isVisible()) return;  // already open
  gExternalAppConfigForm = std::make_unique<frmExternalAppConfig>(this);
  gExternalAppConfigForm->AppIndex = static_cast<int16_t>(item->Index());
  gExternalAppConfigForm->ShowModal();
  SaveExternalApp(gExternalAppConfigForm->AppIndex);
  RefreshExternalAppsList();
}
