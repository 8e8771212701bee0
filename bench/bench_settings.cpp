// The settings work of a start (the defaults checked, the
// mirrors read, then every setting of the defaults table read once, as the
// windows read their own) with an empty settings file and with 20,000 extra
// values in it: 10,000 under the key the program reads most and 10,000 in
// 100 keys of their own. Goal: the large file starts as fast as the empty
// one (within 2x, and in milliseconds), since the file is parsed once and
// every value is found by its name.
#include "core/SettingsStore.h"
#include "core/modRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray ExtraValues(int count) {
  QString text = QStringLiteral("\n[Software\\Reelwise II\\ProgramOptions\\Other]\n");
  for (int i = 0; i < count / 2; ++i) text += QStringLiteral("\"Extra%1\"=\"value %1\"\n").arg(i);
  for (int i = count / 2; i < count; ++i) {
    if (i % 100 == 0) text += QStringLiteral("\n[Software\\Reelwise II\\Extra\\Key%1]\n").arg(i / 100);
    text += QStringLiteral("\"Extra%1\"=dword:%2\n").arg(i).arg(i, 8, 16, QLatin1Char('0'));
  }
  return text.toUtf8();
}

// A private home whose settings file holds the defaults, as a returning
// user's does, and `extra` values of no meaning after them.
struct PrivateSettings {
  QTemporaryDir home;
  explicit PrivateSettings(int extra) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    modRegistry::EnsureDefaultSettings();
    QFile file(SettingsStore::DefaultPath());
    if (extra > 0 && file.open(QIODevice::Append)) file.write(ExtraValues(extra));
  }
};

void StartSettings(benchmark::State& state) {
  const int extra = static_cast<int>(state.range(0));
  const std::vector<SettingDefault> table = modRegistry::DefaultSettings(QSize(1920, 1080));
  for (auto _ : state) {
    state.PauseTiming();
    const PrivateSettings settings(extra);
    state.ResumeTiming();
    modRegistry::EnsureDefaultSettings();
    modRegistry::ReadSettingsMirrors();
    for (const SettingDefault& entry : table) {
      benchmark::DoNotOptimize(modRegistry::GetRegValue(HKEY_CURRENT_USER, entry.keyPath, entry.name));
    }
  }
  state.counters["reads"] = static_cast<double>(table.size());
}
BENCHMARK(StartSettings)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
