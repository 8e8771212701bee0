// The result export of 50,000 results (every segment of the large library's
// 20,000 files) in the running program: the tags of all the results' files
// read in one pass, each record formatted and written, the progress strip
// told after every row, the file committed. Goal: under 3 s.
//
// The floor beside it: one recursive query that reads every file's implied
// tags, plus the same records written without tags.
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/MessageBoxSeam.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QFile>
#include <QSaveFile>

#include <benchmark/benchmark.h>

namespace {

// The export ends in a message box: answered here, never shown.
struct Exporter : ProgramInPrivateHome {
  Exporter() {
    OpenLargeResults();
    SetMessageBoxResponder([this](const MessageBoxRequest&) {
      ++boxes;
      return vbOK;
    });
  }
};

Exporter& TheProgram() {
  static Exporter program;
  return program;
}

QString Quoted(const QString& value) {
  QString text = value;
  text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + text + QLatin1Char('"');
}

void BM_ExportFloor(benchmark::State& state) {
  TheProgram();
  const QString path = gTempFolder + QStringLiteral("floor.csv");
  int tagRows = 0;
  for (auto _ : state) {
    SqlRecordset tags(gLibrary->Connection(),
                      QStringLiteral("WITH RECURSIVE Reach(FileID, TagID) AS (SELECT DISTINCT VS.FileID, ST.TagID "
                                     "FROM SegmentTags ST, VideoSegments VS WHERE ST.SegmentID = VS.SegmentID "
                                     "UNION SELECT R.FileID, TL.LinkedTag FROM Reach R, TagLinks TL WHERE "
                                     "TL.TagID = R.TagID) SELECT R.FileID, T.Tag FROM Reach R, Tags T WHERE "
                                     "T.TagID = R.TagID AND T.Type = 'T'"));
    tagRows = tags.RecordCount();
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    for (size_t i = 1; i < gResults.size(); ++i) {
      const ResultItem& item = gResults[i];
      const QStringList fields = {item.FileName,
                                  item.CurrentPath,
                                  QString::number(item.FileSize / 1048576.0, 'f', 3) + QStringLiteral(" MB"),
                                  modReelwise::FormatDuration(item.Duration, false, false),
                                  item.Dimensions,
                                  QString::number(item.FrameRate, 'g', 7) + QStringLiteral("fps"),
                                  QString::number(item.Bitrate) + QStringLiteral("kbps"),
                                  QString()};
      QStringList quoted;
      for (const QString& field : fields) quoted << Quoted(field);
      file.write((quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8());
    }
    file.commit();
  }
  state.counters["results"] = static_cast<double>(gResults.size() - 1);
  state.counters["tag_rows"] = tagRows;
}
// The export writes on a worker thread: the CPU time of it and of its floor
// is the process's.
BENCHMARK(BM_ExportFloor)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

void BM_ExportBrowserToCSV(benchmark::State& state) {
  Exporter& program = TheProgram();
  const int boxesBefore = program.boxes;
  for (auto _ : state) gMainForm->ExportBrowserToCSV();
  QFile file(gTempFolder + QStringLiteral("export.csv"));
  state.counters["results"] = static_cast<double>(gResults.size() - 1);
  state.counters["bytes"] = static_cast<double>(file.size());
  state.counters["boxes"] = program.boxes - boxesBefore;
}
BENCHMARK(BM_ExportBrowserToCSV)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

}  // namespace
