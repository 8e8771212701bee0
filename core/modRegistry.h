#pragma once
// The program's settings: typed values under "Software\Reelwise II\" in the
// per-user settings store, the defaults every start writes when a value is
// missing or empty, and the program-wide mirrors of the settings that start-up
// reads once.
#include "platform/ColorRef.h"

#include <QSize>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

// A stored setting as readers get it: a 32-bit number, or text. A missing key
// or value, or a value of another type, is the empty text.
class RegValue {
 public:
  RegValue() = default;
  static RegValue FromText(const QString& text);
  static RegValue FromNumber(int32_t number);

  bool IsNumber() const { return isNumber_; }
  // The number; 0 for text.
  int32_t Number() const { return number_; }
  // The text, or the number in decimal.
  QString Text() const;
  bool IsEmpty() const { return !isNumber_ && text_.isEmpty(); }

  // As a whole number: the number, numeric text rounded half to even, else `fallback`.
  int32_t ToLong(int32_t fallback) const;
  // Non-zero is true; text that is no number gives `fallback`.
  bool ToBool(bool fallback) const;
  // An int or a QString, to hand back to SetRegValue.
  QVariant ToVariant() const;

  bool operator==(const RegValue& other) const = default;

 private:
  bool isNumber_ = false;
  int32_t number_ = 0;
  QString text_;
};

// Registry roots; the program only ever uses the current user's.
using HKEY = uint32_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;

// The three keys of the settings, as the value operations take them.
inline const QString kRegGeneral = QStringLiteral("Software\\Reelwise II\\General\\");
inline const QString kRegFilePosters = QStringLiteral("Software\\Reelwise II\\ProgramOptions\\FilePosters\\");
inline const QString kRegOther = QStringLiteral("Software\\Reelwise II\\ProgramOptions\\Other\\");

// Result code of the last store operation (0 success); nothing branches on it.
extern int32_t gRegResult;

// Settings mirrors, read by ReadSettingsMirrors at start-up and rewritten by the
// options dialog. Until then they hold the defaults.
extern bool gUseInternalPlayer;     // "UseInternalPlayer"
extern bool gDeleteToRecycleBin;    // "UseRecycleBin"
extern COLORREF gCursorColour;      // "CursorColour"
extern int32_t gPopupDelayMs;       // "PopupDelay" x 10
extern bool gIndicateOffline;       // "IndicateOffline"
extern bool gTooltipAliases;        // "TooltipAliases"
extern bool gBevelledThumbnails;    // "BevelledThumbnails"
extern bool gLibraryTreeClassic;    // "LibraryTreeClassic"
extern QString gSearchSettings;     // "SearchSettings"
extern bool gMinimiseToTray;        // "MinimizeToTray"
extern QString gPlaylistFormat;     // "PlaylistFormat"
extern bool gShowTipOfTheDay;       // "TipOfTheDay"
extern int32_t gPosterStyle;        // "StoryBoardStyle" (FilePosters)

// One default of the settings table.
struct SettingDefault {
  QString keyPath;  // one of kRegGeneral, kRegFilePosters, kRegOther
  QString name;
  QVariant value;
};

namespace modRegistry {

bool RegKeyExists(HKEY root, const QString& keyPath);
RegValue GetRegValue(HKEY root, const QString& keyPath, const QString& valueName);
// A number, or text that reads as one ("." decimals whatever the locale), is
// stored as a 32-bit number rounded half to even (true/false as 1/0); any other
// value, and numeric text beyond the 32-bit range, as text trimmed of blanks.
void SetRegValue(HKEY root, const QString& keyPath, const QString& valueName, const QVariant& value);
void CreateRegKey(HKEY root, const QString& keyPath);
// Writes `defaultValue` only when the value reads as the empty text.
void SetRegDefault(HKEY root, const QString& keyPath, const QString& valueName, const QVariant& defaultValue);

// Creates the keys and writes every missing or empty setting with its default,
// in one locked update of the store.
void EnsureDefaultSettings();
// The defaults in the order they are written; the window placement is centred
// on a screen of `screenPixels`, halves rounded to even.
std::vector<SettingDefault> DefaultSettings(QSize screenPixels);
// The size of the primary screen in pixels (1024 x 768 without a screen).
QSize ScreenPixels();

// Readers of one setting under HKEY_CURRENT_USER that fall back to the table's
// default (0 / false / empty for a value without one) when the stored value is
// empty or not a number where a number is needed.
int32_t GetSettingLong(const QString& keyPath, const QString& valueName);
bool GetSettingBool(const QString& keyPath, const QString& valueName);
QString GetSettingText(const QString& keyPath, const QString& valueName);

// Fills the settings mirrors above from the store.
void ReadSettingsMirrors();

// Writes the settings changes kept because another process held the store
// when they were made (a negative limit waits as long as it takes); the end
// of a run calls it, and a change that still cannot be written is told,
// naming the file. True when none is left.
bool WritePendingSettings(int64_t lockLimitMs = 5000);

}  // namespace modRegistry
