// Keypad tagging's lookup in the full-screen player: the tags matching the
// digits typed so far, read again at every key, on a library of 2,000 tags
// named with one to three everyday words (keypad digits filled as the
// library fills them). The window is made but not shown, so no run starts.
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"

#include <QDir>
#include <QPointer>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <iterator>
#include <random>

namespace {

constexpr int kTags = 2000;
constexpr int kNumpad0 = 96;

const char* const kWords[] = {
    "Beach",  "Sunset",  "Mountain", "River",  "Forest",  "City",    "Night",  "Party",   "Wedding", "Birthday",
    "Family", "Holiday", "Summer",   "Winter", "Snow",    "Garden",  "Dog",    "Cat",     "Horse",   "Boat",
    "Train",  "Car",     "Concert",  "Stage",  "Dance",   "Football", "Tennis", "Golf",   "Kitchen", "School",
    "Church", "Castle",  "Bridge",   "Lake",   "Island",  "Desert",  "Storm",  "Rain",    "Market",  "Street",
    "Harbour", "Airport", "Museum",  "Zoo",    "Park",    "Picnic",  "Camping", "Hiking", "Sailing", "Fishing"};

// Writes the library with its tags and returns its path.
QString MakeTagLibrary(const QString& folder) {
  const QString path = QDir(folder).filePath(QStringLiteral("Keypad.rw2"));
  modReelwise::ExtractTemplateLibrary(path);
  auto db = SqlConnection::Open(path);
  TransactionGuard guard(*db, QStringLiteral("Tags"));
  auto tag = db->Prepare(QStringLiteral("INSERT INTO Tags (Tag, Type, T9Text) VALUES (?, 'T', ?)"));
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> word(0, static_cast<int>(std::size(kWords)) - 1);
  std::uniform_int_distribution<int> length(1, 3);
  for (int i = 0; i < kTags; ++i) {
    QStringList words;
    for (int n = length(random); n > 0; --n) words << QString::fromLatin1(kWords[word(random)]);
    const QString name = words.join(QLatin1Char(' ')) + QStringLiteral(" %1").arg(i);
    tag->Bind(1, name);
    tag->Bind(2, clsRWLibrary::ConvertToT9(name));
    tag->Execute();
  }
  guard.Commit();
  return path;
}

struct KeypadBench {
  ProgramInPrivateHome program;
  // Made on the heap, as the program makes it: the program's end deletes
  // every window of its own, this one with them.
  QPointer<frmDSSink> form{new frmDSSink};

  KeypadBench() { gLibrary->OpenLibrary(MakeTagLibrary(gLibrariesFolder), true); }

  // Starts tagging afresh and types `digits` (2 to 9) on the numpad.
  void Type(const char* digits) {
    form->HandleTaggingKey(kNumpad0, 0);
    for (const char* d = digits; *d; ++d) form->HandleTaggingKey(kNumpad0 + (*d - '0'), 0);
  }
};

KeypadBench& Bench() {
  static KeypadBench bench;
  return bench;
}

// "72": Party, School, Rain, Park, Sailing first, then Train, Church and
// Harbour further in; "227": Car, Castle; "7245": Sailing.
void BM_FindT9Tags(benchmark::State& state, const char* digits) {
  KeypadBench& bench = Bench();
  bench.Type(digits);
  for (auto _ : state) bench.form->FindT9Tags(true);
  state.counters["digits"] = static_cast<double>(bench.form->TypedDigits().size());
  state.counters["matches"] = gOsdText.section(QLatin1Char('/'), -1).toInt();  // "...//row/count"
}
// Qt paints parts of the display on threads of its own: the CPU time is the
// process's.
BENCHMARK_CAPTURE(BM_FindT9Tags, two_digits, "72")->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindT9Tags, three_digits, "227")->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindT9Tags, four_digits, "7245")->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
