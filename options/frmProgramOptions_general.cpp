// Page 1, "GENERAL": the program-wide settings, their immediate effects, the
// two number fields and the cursor colour (shown on page 6).
#include "options/frmProgramOptions.h"

#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "player/clsRWPlayer.h"
#include "ui/clsDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include <algorithm>
#include <limits>

namespace {

// ThumbnailTimeout is a 16-bit number of seconds; PopupDelay is stored in
// hundredths and used as ten times that many milliseconds in 32 bits.
constexpr int64_t kMaxTimeout = 32767;
constexpr int64_t kMaxPopupDelay = std::numeric_limits<int32_t>::max() / 10;

int32_t Other(const char* name) { return modRegistry::GetSettingLong(kRegOther, QLatin1String(name)); }

QString OtherText(const char* name) { return modRegistry::GetSettingText(kRegOther, QLatin1String(name)); }

void SaveOther(const char* name, const QVariant& value) {
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name), value);
}

// Digits and backspace pass; anything else is dropped.
void DigitsOnly(int& keyAscii) {
  if (keyAscii != 8 && (keyAscii < '0' || keyAscii > '9')) keyAscii = 0;
}

// The field's number, clamped to 0..max; empty text reads as `empty`.
int32_t FieldNumber(const QString& text, int32_t empty, int64_t max) {
  if (text.isEmpty()) return empty;
  bool ok = false;
  const qlonglong value = text.toLongLong(&ok);
  if (!ok) return static_cast<int32_t>(max);  // more digits than 64 bits hold
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, max));
}

}  // namespace

void frmProgramOptions::CreateGeneralPage() {
  QWidget* page = picProgOptions[1];
  int y = 8;
  auto check = [&](const char* name, const char* caption) {
    auto* box = new QCheckBox(QLatin1String(caption), page);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(8, y, 420, 20);
    y += 22;
    return box;
  };
  auto option = [&](const char* name, const char* caption, int x, QButtonGroup* group) {
    auto* button = new QRadioButton(QLatin1String(caption), page);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, 200, 20);
    group->addButton(button);
    return button;
  };
  chkCompactDB = check("chkCompactDB", "Compact Database when closing Library");
  chkSendToTray = check("chkSendToTray", "Minimize button sends to Tray");
  auto* players = new QButtonGroup(page);
  optInternalPlayer[0] = option("optInternalPlayer", "Reelwise Full-Screen player", 8, players);
  optInternalPlayer[1] = option("optInternalPlayer", "User's Default Player", 220, players);
  y += 22;
  chkStretchToScreen = check("chkStretchToScreen", "Stretch to Screen");
  auto* formats = new QButtonGroup(page);
  optPlaylistFormat[0] = option("optPlaylistFormat", "PLS Playlist", 8, formats);
  optPlaylistFormat[1] = option("optPlaylistFormat", "M3U Playlist", 150, formats);
  optPlaylistFormat[2] = option("optPlaylistFormat", "ASX Playlist", 292, formats);
  for (QRadioButton* button : optPlaylistFormat) button->setFixedWidth(140);
  y += 22;
  auto* policies = new QButtonGroup(page);
  optThumbnailPolicy[0] = option("optThumbnailPolicy", "Pre-load All", 8, policies);
  y += 22;
  optThumbnailPolicy[1] = option("optThumbnailPolicy", "Load-on-Demand and Retain", 8, policies);
  y += 22;
  optThumbnailPolicy[2] = option("optThumbnailPolicy", "Load-on-Demand and Discard", 8, policies);
  y += 22;
  chkUseRecycleBin = check("chkUseRecycleBin", "Delete files to Recycle Bin");
  chkIndicateOffline = check("chkIndicateOffline", "Indicate Offline Files");
  chkTooltipAliases = check("chkTooltipAliases", "Prefer Alias over Filename");
  chkBevelledThumbnails = check("chkBevelledThumbnails", "Bevelled Thumbnails");
  chkTreeStyle = check("chkTreeStyle", "Show Library Tree in 'Classic' style (re-start required)");
  chkTipOfTheDay = check("chkTipOfTheDay", "Show Tip of the Day at Start-up");
  auto field = [&](const char* name, const char* caption) {
    auto* label = new ctl::Label(page);
    label->SetCaption(QLatin1String(caption));
    label->SetBackStyle(0);
    label->setGeometry(8, y + 2, 300, 20);
    auto* box = new ctl::TextBox(page);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(320, y, 70, 22);
    box->KeyPress = DigitsOnly;
    y += 26;
    return box;
  };
  txtThumbTimeOut = field("txtThumbTimeOut", "Thumbnail Capture Time-Out (secs)");
  txtTooltipDelay = field("txtTooltipDelay", "Browser Tooltip delay (1/100ths of a sec)");
  txtThumbTimeOut->LostFocus = [this] { txtThumbTimeOut_LostFocus(); };
  txtTooltipDelay->LostFocus = [this] { txtTooltipDelay_LostFocus(); };
  for (size_t i = 0; i < optInternalPlayer.size(); ++i) {
    connect(optInternalPlayer[i], &QRadioButton::clicked, this,
            [this, i] { optInternalPlayer_Click(static_cast<int16_t>(i)); });
  }
  for (size_t i = 0; i < optThumbnailPolicy.size(); ++i) {
    connect(optThumbnailPolicy[i], &QRadioButton::clicked, this,
            [this, i] { optThumbnailPolicy_Click(static_cast<int16_t>(i)); });
  }
  connect(chkIndicateOffline, &QCheckBox::toggled, this, [this] { chkIndicateOffline_Click(); });
  connect(chkTreeStyle, &QCheckBox::clicked, this, [this] { chkTreeStyle_Click(); });
}

void frmProgramOptions::LoadGeneralPage() {
  chkCompactDB->setChecked(Other("CompactOnExit") != 0);
  chkSendToTray->setChecked(Other("MinimizeToTray") != 0);
  const bool internal = Other("UseInternalPlayer") != 0;
  optInternalPlayer[0]->setChecked(internal);
  optInternalPlayer[1]->setChecked(!internal);
  chkStretchToScreen->setChecked(gPlayer ? gPlayer->StretchToScreen : Other("StretchToScreen") != 0);
  const QString format = OtherText("PlaylistFormat");
  const char* const formats[] = {"PLS", "M3U", "ASX"};
  for (size_t i = 0; i < optPlaylistFormat.size(); ++i) optPlaylistFormat[i]->setChecked(format == QLatin1String(formats[i]));
  optInternalPlayer_Click(internal ? 0 : 1);
  const int16_t policy = gLibrary ? gLibrary->ThumbPolicy() : static_cast<int16_t>(Other("ThumbnailPolicy"));
  if (policy >= 0 && policy <= 2) optThumbnailPolicy[policy]->setChecked(true);
  chkUseRecycleBin->setChecked(gDeleteToRecycleBin);
  chkIndicateOffline->setProperty("Tag", QStringLiteral("INIT"));
  chkIndicateOffline->setChecked(gIndicateOffline);
  chkIndicateOffline->setProperty("Tag", QString());
  chkTooltipAliases->setChecked(gTooltipAliases);
  chkBevelledThumbnails->setChecked(gBevelledThumbnails);
  chkTreeStyle->setChecked(gLibraryTreeClassic);
  chkTipOfTheDay->setChecked(gShowTipOfTheDay);
  txtThumbTimeOut->SetText(OtherText("ThumbnailTimeout"));
  txtTooltipDelay->SetText(OtherText("PopupDelay"));
}

// Each value after its program-wide variable, in the order the settings are
// written; numbers out of range are clamped rather than overflowing.
void frmProgramOptions::SaveGeneralPage() {
  gMinimiseToTray = chkSendToTray->isChecked();
  SaveOther("MinimizeToTray", gMinimiseToTray ? 1 : 0);
  SaveOther("CompactOnExit", chkCompactDB->isChecked() ? 1 : 0);
  gUseInternalPlayer = optInternalPlayer[0]->isChecked();
  SaveOther("UseInternalPLayer", gUseInternalPlayer ? 1 : 0);
  if (gPlayer) gPlayer->StretchToScreen = chkStretchToScreen->isChecked();
  SaveOther("StretchToScreen", (gPlayer ? gPlayer->StretchToScreen : chkStretchToScreen->isChecked()) ? 1 : 0);
  SaveOther("CursorColour", static_cast<int32_t>(gCursorColour));
  if (gLibrary) SaveOther("ThumbnailPolicy", gLibrary->ThumbPolicy());
  gDeleteToRecycleBin = chkUseRecycleBin->isChecked();
  if (Main.SetDeleteMenu) Main.SetDeleteMenu(gDeleteToRecycleBin);
  SaveOther("UseRecycleBin", gDeleteToRecycleBin ? 1 : 0);
  gIndicateOffline = chkIndicateOffline->isChecked();
  SaveOther("IndicateOffline", gIndicateOffline ? 1 : 0);
  gTooltipAliases = chkTooltipAliases->isChecked();
  SaveOther("TooltipAliases", gTooltipAliases ? 1 : 0);
  gBevelledThumbnails = chkBevelledThumbnails->isChecked();
  SaveOther("BevelledThumbnails", gBevelledThumbnails ? 1 : 0);
  SaveOther("LibraryTreeClassic", chkTreeStyle->isChecked() ? 1 : 0);
  gShowTipOfTheDay = chkTipOfTheDay->isChecked();
  SaveOther("TipOfTheDay", gShowTipOfTheDay ? 1 : 0);
  if (txtThumbTimeOut->Text().isEmpty()) txtThumbTimeOut->SetText(QStringLiteral("5"));
  SaveOther("ThumbnailTimeout", FieldNumber(txtThumbTimeOut->Text(), 5, kMaxTimeout));
  if (txtTooltipDelay->Text().isEmpty()) txtTooltipDelay->SetText(QStringLiteral("50"));
  gPopupDelayMs = FieldNumber(txtTooltipDelay->Text(), 50, kMaxPopupDelay) * 10;
  SaveOther("PopupDelay", gPopupDelayMs / 10);
  gPlaylistFormat = optPlaylistFormat[0]->isChecked()   ? QStringLiteral("PLS")
                    : optPlaylistFormat[1]->isChecked() ? QStringLiteral("M3U")
                                                        : QStringLiteral("ASX");
  SaveOther("PlaylistFormat", gPlaylistFormat);
}

void frmProgramOptions::chkIndicateOffline_Click() {
  if (chkIndicateOffline->property("Tag").toString() == QLatin1String("INIT")) return;
  gIndicateOffline = chkIndicateOffline->isChecked();
  if (Main.MainToolbarHandler) Main.MainToolbarHandler(QStringLiteral("mnuBrowserRefresh"));
}

void frmProgramOptions::chkTreeStyle_Click() { gLibraryTreeClassic = chkTreeStyle->isChecked(); }

void frmProgramOptions::optThumbnailPolicy_Click(int16_t Index) {
  if (!gLibrary) return;
  gLibrary->SetThumbPolicy(Index);
  if (Index == 0) gLibrary->LoadThumbnails();
}

void frmProgramOptions::optInternalPlayer_Click(int16_t) {
  chkStretchToScreen->setEnabled(optInternalPlayer[0]->isChecked());
  for (QRadioButton* button : optPlaylistFormat) button->setEnabled(optInternalPlayer[1]->isChecked());
}

void frmProgramOptions::txtThumbTimeOut_LostFocus() {
  const QString text = txtThumbTimeOut->Text();
  if (text.isEmpty() || text == QLatin1String("0")) txtThumbTimeOut->SetText(QStringLiteral("5"));
}

void frmProgramOptions::txtTooltipDelay_LostFocus() {
  const QString text = txtTooltipDelay->Text();
  if (text.isEmpty() || text == QLatin1String("0")) txtTooltipDelay->SetText(QStringLiteral("500"));
}

void frmProgramOptions::lblCursorColour_DblClick() {
  if (!gDialogs) return;
  const int32_t chosen = gDialogs->lngChooseColor(gCursorColour);
  if (chosen == -1) return;
  gCursorColour = static_cast<COLORREF>(chosen);
  PaintCursorColour(gCursorColour);
  if (Main.CursorColourChanged) Main.CursorColourChanged(gCursorColour);
}

void frmProgramOptions::PaintCursorColour(COLORREF colour) {
  for (ctl::Label* label : lblCursorColour) {
    if (label) label->SetForeColor(colour);
  }
}
