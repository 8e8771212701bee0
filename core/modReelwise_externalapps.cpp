#include "core/modReelwise.h"

#include "core/IniFile.h"
#include "core/NumericText.h"
#include "core/ProgramMessage.h"

#include <QFileInfo>

std::array<ExternalAppEntry, kExternalAppCount + 1> gExternalApps;

namespace {

const QStringList& EntryKeys() {
  static const QStringList keys = {QStringLiteral("AppPath"),    QStringLiteral("CommandLine"),
                                   QStringLiteral("MenuText"),   QStringLiteral("Extensions"),
                                   QStringLiteral("Contexts"),   QStringLiteral("Enabled")};
  return keys;
}

QString SectionOf(int n) { return QStringLiteral("App") + QString::number(n); }

// The file a fresh user gets: App1..App10, every key empty.
void SeedExternalApps(const QString& file) {
  IniFile ini;
  if (!ini.Load(file)) return;
  for (int n = 1; n <= 10; ++n) {
    for (const QString& key : EntryKeys()) ini.SetValue(SectionOf(n), key, QString());
  }
  ini.Save();
}

void ReportUnreadable(const QString& file) {
  ShowProgramMessage(QStringLiteral("The external applications file\r\n%1\r\ncould not be read.\r\n\r\n"
                                    "No external applications are available until it can be read.")
                         .arg(file),
                     vbExclamation, QStringLiteral("External Applications"));
}

ExternalAppEntry ReadEntry(const IniFile& ini, int n) {
  const QString section = SectionOf(n);
  const auto read = [&](const char* key) { return ini.Value(section, QString::fromLatin1(key)).value_or(QString()); };
  ExternalAppEntry entry;
  entry.AppPath = read("AppPath");
  entry.CommandLine = read("CommandLine");
  entry.MenuText = read("MenuText");
  entry.Extensions = read("Extensions");
  // A number that is missing or not a number must not stop the start-up: 0.
  entry.Contexts = TextToInt16(read("Contexts"), 0);
  entry.Enabled = TextToInt16(read("Enabled"), 0);
  return entry;
}

}  // namespace

namespace modReelwise {

void LoadExternalApps() {
  gExternalApps.fill(ExternalAppEntry());
  const QString file = gDocsFolder + QStringLiteral("ExternalApps.ini");
  // Seeded only when nothing is there: a file that exists but cannot be read
  // is reported, never replaced with empty sections.
  const QFileInfo info(file);
  if (!info.exists() && !info.isSymLink()) SeedExternalApps(file);
  IniFile ini;
  if (!ini.Load(file)) {
    ReportUnreadable(file);
    return;
  }
  for (int n = 1; n <= kExternalAppCount; ++n) {
    if (ini.Value(SectionOf(n), QStringLiteral("MenuText")).value_or(QString()).isEmpty()) continue;
    gExternalApps[static_cast<size_t>(n)] = ReadEntry(ini, n);
  }
}

}  // namespace modReelwise
