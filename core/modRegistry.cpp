#include "core/modRegistry.h"

#include "core/NumericText.h"
#include "core/ProgramMessage.h"
#include "core/SettingsStore.h"
#include "platform/MessageBoxSeam.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>

int32_t gRegResult = 0;

bool gUseInternalPlayer = true;
bool gDeleteToRecycleBin = true;
COLORREF gCursorColour = 33023;
int32_t gPopupDelayMs = 500;
bool gIndicateOffline = true;
bool gTooltipAliases = false;
bool gBevelledThumbnails = true;
bool gLibraryTreeClassic = false;
QString gSearchSettings = QStringLiteral("F--");
bool gMinimiseToTray = true;
QString gPlaylistFormat = QStringLiteral("M3U");
bool gShowTipOfTheDay = true;
int32_t gPosterStyle = 0;

namespace {

// The registry's result codes that gRegResult takes.
constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kErrorInvalidHandle = 6;

// ---- RegValue <-> stored form ------------------------------------------------

bool IsNumericType(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
      return true;
    default:
      return false;
  }
}

StoredValue StoredText(const QString& text) {
  StoredValue stored;
  stored.text = text;
  return stored;
}

StoredValue StoredNumber(int32_t number) {
  StoredValue stored;
  stored.type = RegType::Dword;
  stored.number = number;
  return stored;
}

StoredValue ToStored(const QVariant& value) {
  if (value.typeId() == QMetaType::Bool) return StoredNumber(value.toBool() ? 1 : 0);
  if (IsNumericType(value)) {
    if (const std::optional<int32_t> number = ToInt32(value.toDouble())) return StoredNumber(*number);
    // Written as the program's own text form of a number would be: 15 digits,
    // "." as the decimal point.
    return StoredText(QString::number(value.toDouble(), 'g', 15));
  }
  const QString text = TrimBlanks(value.toString());
  if (const std::optional<double> parsed = ParseNumericText(text)) {
    if (const std::optional<int32_t> number = ToInt32(*parsed)) return StoredNumber(*number);
  }
  return StoredText(text);
}

RegValue FromStored(const StoredValue* stored) {
  if (!stored) return RegValue();
  switch (stored->type) {
    case RegType::Dword:
      return RegValue::FromNumber(stored->number);
    case RegType::String:
      return RegValue::FromText(stored->text.section(QChar(0), 0, 0));
    case RegType::Other:
      break;
  }
  return RegValue();
}

// ---- store access with damage handling ---------------------------------------

// Set while EnsureDefaultSettings runs: damage found then needs no second pass.
bool writingDefaults = false;

void TellDamaged(const QString& setAside) {
  SystemMessageBox(QStringLiteral("The settings of Reelwise II could not be read: the settings file was damaged.\r\n\r\n"
                                  "It has been kept as\r\n%1\r\n\r\nand the default settings have been written anew.")
                       .arg(setAside),
                   vbExclamation, QStringLiteral("Reelwise II Settings"));
}

void HandleDamage(const QString& setAside) {
  if (setAside.isEmpty()) return;
  TellDamaged(setAside);
  if (!writingDefaults) modRegistry::EnsureDefaultSettings();
}

// A settings file that cannot serve as the store (no regular file, not
// readable, not writable) is left alone; the program then runs on a tree of
// its own for the rest of the run: the settings it could read from the file,
// else the defaults, with every change made in the run. The user is told
// once, and what to do.
struct RefusedStore {
  SettingsTree tree;
};

QHash<QString, RefusedStore>& RefusedStores() {
  static QHash<QString, RefusedStore> stores;
  return stores;
}

// The run's own tree for a store already refused; nullptr when none is.
SettingsTree* RunOwnTree(const QString& path) {
  const auto found = RefusedStores().find(path);
  return found == RefusedStores().end() ? nullptr : &found->tree;
}

SettingsTree& TreeInsteadOf(const SettingsStore& store, const QString& path) {
  if (SettingsTree* tree = RunOwnTree(path)) return *tree;
  RefusedStore& refused = RefusedStores()[path];
  // A file that can still be read gives its settings to the run.
  SettingsStore reader(path);
  const std::shared_ptr<const SettingsTree> read = reader.Load();
  const bool fromFile = read && reader.Refusal().isEmpty() && reader.SetAsidePath().isEmpty();
  if (fromFile) refused.tree = *read;
  const QString runsOn = fromFile ? QStringLiteral("the settings read from it") : QStringLiteral("its default settings");
  ShowProgramMessage(QStringLiteral("The settings file\r\n%1\r\ncannot be used: %2\r\n\r\nReelwise II runs on %3; "
                                    "settings changed now last until it ends and are not kept. The file has been "
                                    "left as it is.\r\n\r\nTo keep settings again, make the file (and its folder) "
                                    "one you may read and write, then start Reelwise II again.")
                         .arg(QDir::toNativeSeparators(path), store.Refusal(), runsOn),
                     vbExclamation, QStringLiteral("Reelwise II Settings"), ProgramMessageOwner());
  return refused.tree;
}

// A failed save is told once, until a save succeeds again, so a full disk
// does not bring a box for every setting written.
void TellWriteFailure(const QString& path, const QString& reason) {
  static QSet<QString> told;
  if (reason.isEmpty()) {
    told.remove(path);
    return;
  }
  if (told.contains(path)) return;
  told.insert(path);
  ShowProgramMessage(FileNotWrittenText(path, reason) + QStringLiteral("\r\n\r\nThe settings just changed are not kept."),
                     vbExclamation, QStringLiteral("Reelwise II Settings"), ProgramMessageOwner());
}

std::shared_ptr<const SettingsTree> LoadTree() {
  const QString path = SettingsStore::DefaultPath();
  if (const SettingsTree* own = RunOwnTree(path)) return std::make_shared<const SettingsTree>(*own);
  SettingsStore store(path);
  std::shared_ptr<const SettingsTree> tree = store.Load();
  if (!store.Refusal().isEmpty()) return std::make_shared<const SettingsTree>(TreeInsteadOf(store, path));
  if (store.SetAsidePath().isEmpty()) return tree;
  HandleDamage(store.SetAsidePath());
  return SettingsStore(path).Load();
}

// `change` owns what it reads: one the store keeps for want of its lock
// runs after the caller returned.
void UpdateTree(const std::function<bool(SettingsTree&)>& change) {
  const QString path = SettingsStore::DefaultPath();
  if (SettingsTree* own = RunOwnTree(path)) {
    change(*own);
    gRegResult = kErrorSuccess;
    return;
  }
  SettingsStore store(path);
  const bool updated = store.Update(change, SettingsStore::LockLimitHere());
  gRegResult = updated ? kErrorSuccess : kErrorAccessDenied;
  if (!store.Refusal().isEmpty()) {
    change(TreeInsteadOf(store, path));
    gRegResult = kErrorSuccess;
    return;
  }
  TellWriteFailure(path, store.WriteFailure());
  HandleDamage(store.SetAsidePath());
}

bool NeedsDefault(const SettingsTree& tree, const QString& keyPath, const QString& name) {
  return FromStored(tree.Find(keyPath, name)).IsEmpty();
}

RegValue TableDefault(const QString& keyPath, const QString& name) {
  const QString key = NormaliseKeyPath(keyPath);
  for (const SettingDefault& entry : modRegistry::DefaultSettings(modRegistry::ScreenPixels())) {
    if (NormaliseKeyPath(entry.keyPath).compare(key, Qt::CaseInsensitive) == 0 &&
        entry.name.compare(name, Qt::CaseInsensitive) == 0) {
      const StoredValue stored = ToStored(entry.value);
      return FromStored(&stored);
    }
  }
  return RegValue();
}

// Only the current user's keys exist; a key path is one line of the store.
bool UsableKey(HKEY root, const QString& keyPath) {
  const bool usable = root == HKEY_CURRENT_USER && !keyPath.contains(QLatin1Char('\n')) &&
                      !keyPath.contains(QLatin1Char('\r'));
  if (!usable) gRegResult = kErrorInvalidHandle;
  return usable;
}

}  // namespace

// ---- RegValue ----------------------------------------------------------------

RegValue RegValue::FromText(const QString& text) {
  RegValue value;
  value.text_ = text;
  return value;
}

RegValue RegValue::FromNumber(int32_t number) {
  RegValue value;
  value.isNumber_ = true;
  value.number_ = number;
  return value;
}

QString RegValue::Text() const { return isNumber_ ? QString::number(number_) : text_; }

int32_t RegValue::ToLong(int32_t fallback) const { return isNumber_ ? number_ : TextToInt32(text_, fallback); }

bool RegValue::ToBool(bool fallback) const {
  if (isNumber_) return number_ != 0;
  const std::optional<double> number = ParseNumericText(text_);
  return number ? *number != 0 : fallback;
}

QVariant RegValue::ToVariant() const { return isNumber_ ? QVariant(number_) : QVariant(text_); }

// ---- the five operations -------------------------------------------------------

namespace modRegistry {

bool RegKeyExists(HKEY root, const QString& keyPath) {
  if (!UsableKey(root, keyPath)) return false;
  const bool exists = LoadTree()->KeyExists(keyPath);
  gRegResult = exists ? kErrorSuccess : kErrorFileNotFound;
  return exists;
}

RegValue GetRegValue(HKEY root, const QString& keyPath, const QString& valueName) {
  if (!UsableKey(root, keyPath)) return RegValue();
  const std::shared_ptr<const SettingsTree> tree = LoadTree();
  const StoredValue* stored = tree->Find(keyPath, valueName);
  gRegResult = stored ? kErrorSuccess : kErrorFileNotFound;
  return FromStored(stored);
}

void SetRegValue(HKEY root, const QString& keyPath, const QString& valueName, const QVariant& value) {
  if (!UsableKey(root, keyPath)) return;
  StoredValue stored = ToStored(value);
  stored.name = valueName;
  UpdateTree([keyPath, stored](SettingsTree& tree) { return tree.Set(keyPath, stored); });
}

void CreateRegKey(HKEY root, const QString& keyPath) {
  if (!UsableKey(root, keyPath)) return;
  UpdateTree([keyPath](SettingsTree& tree) {
    const bool existed = tree.KeyExists(keyPath);
    tree.CreateKey(keyPath);
    return !existed;
  });
}

void SetRegDefault(HKEY root, const QString& keyPath, const QString& valueName, const QVariant& defaultValue) {
  if (!UsableKey(root, keyPath)) return;
  StoredValue stored = ToStored(defaultValue);
  stored.name = valueName;
  // Checked and written under one lock, so a value another process writes
  // meanwhile is never replaced by the default.
  UpdateTree([keyPath, valueName, stored](SettingsTree& tree) {
    return NeedsDefault(tree, keyPath, valueName) && tree.Set(keyPath, stored);
  });
}

void EnsureDefaultSettings() {
  const std::vector<SettingDefault> defaults = DefaultSettings(ScreenPixels());
  const QString programOptions = QStringLiteral("Software\\Reelwise II\\ProgramOptions");
  writingDefaults = true;
  UpdateTree([defaults, programOptions](SettingsTree& tree) {
    bool changed = false;
    for (const QString& key : {kRegGeneral, programOptions, kRegFilePosters, kRegOther}) {
      changed |= !tree.KeyExists(key);
      tree.CreateKey(key);
    }
    for (const SettingDefault& entry : defaults) {
      if (!NeedsDefault(tree, entry.keyPath, entry.name)) continue;
      StoredValue stored = ToStored(entry.value);
      stored.name = entry.name;
      changed |= tree.Set(entry.keyPath, stored);
    }
    return changed;
  });
  writingDefaults = false;
  // Settings that are all in place are not written: a settings file that
  // cannot be written (a read-only home) is found here all the same, at the
  // start, rather than at the first change.
  const QString path = SettingsStore::DefaultPath();
  if (RunOwnTree(path)) return;
  SettingsStore store(path);
  if (!store.ProbeWrite()) TreeInsteadOf(store, path);
}

bool WritePendingSettings(int64_t lockLimitMs) {
  const QString path = SettingsStore::DefaultPath();
  SettingsStore store(path);
  if (store.WritePending(lockLimitMs)) return true;
  if (!store.WriteFailure().isEmpty() || !store.Refusal().isEmpty()) {
    const QString reason = store.WriteFailure().isEmpty() ? store.Refusal() : store.WriteFailure();
    TellWriteFailure(path, reason);
    return false;
  }
  ShowProgramMessage(QStringLiteral("The settings file\r\n%1\r\nis held locked by another program (or another "
                                    "copy of Reelwise II that does not answer), so the settings changed while it "
                                    "held it could not be written and are not kept.\r\n\r\nClose the other "
                                    "program, then set them again.")
                         .arg(QDir::toNativeSeparators(path)),
                     vbExclamation, QStringLiteral("Reelwise II Settings"), ProgramMessageOwner());
  return false;
}

// ---- readers with fallbacks ------------------------------------------------------

int32_t GetSettingLong(const QString& keyPath, const QString& valueName) {
  const RegValue value = GetRegValue(HKEY_CURRENT_USER, keyPath, valueName);
  return value.ToLong(TableDefault(keyPath, valueName).ToLong(0));
}

bool GetSettingBool(const QString& keyPath, const QString& valueName) {
  const RegValue value = GetRegValue(HKEY_CURRENT_USER, keyPath, valueName);
  return value.ToBool(TableDefault(keyPath, valueName).ToBool(false));
}

QString GetSettingText(const QString& keyPath, const QString& valueName) {
  const RegValue value = GetRegValue(HKEY_CURRENT_USER, keyPath, valueName);
  return value.IsEmpty() ? TableDefault(keyPath, valueName).Text() : value.Text();
}

void ReadSettingsMirrors() {
  gUseInternalPlayer = GetSettingBool(kRegOther, QStringLiteral("UseInternalPlayer"));
  gDeleteToRecycleBin = GetSettingBool(kRegOther, QStringLiteral("UseRecycleBin"));
  gCursorColour = static_cast<COLORREF>(GetSettingLong(kRegOther, QStringLiteral("CursorColour")));
  const int64_t popupDelay = GetSettingLong(kRegOther, QStringLiteral("PopupDelay"));
  gPopupDelayMs = static_cast<int32_t>(std::clamp<int64_t>(popupDelay * 10, INT32_MIN, INT32_MAX));
  gIndicateOffline = GetSettingBool(kRegOther, QStringLiteral("IndicateOffline"));
  gTooltipAliases = GetSettingBool(kRegOther, QStringLiteral("TooltipAliases"));
  gBevelledThumbnails = GetSettingBool(kRegOther, QStringLiteral("BevelledThumbnails"));
  gLibraryTreeClassic = GetSettingBool(kRegOther, QStringLiteral("LibraryTreeClassic"));
  gSearchSettings = GetSettingText(kRegOther, QStringLiteral("SearchSettings"));
  gMinimiseToTray = GetSettingBool(kRegOther, QStringLiteral("MinimizeToTray"));
  gPlaylistFormat = GetSettingText(kRegOther, QStringLiteral("PlaylistFormat"));
  gShowTipOfTheDay = GetSettingBool(kRegOther, QStringLiteral("TipOfTheDay"));
  gPosterStyle = GetSettingLong(kRegFilePosters, QStringLiteral("StoryBoardStyle"));
}

}  // namespace modRegistry
