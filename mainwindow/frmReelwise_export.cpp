// The result export to "export.csv" in the Temp folder, and opening a
// library chosen in the file dialog.
#include "mainwindow/frmReelwise.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/FileTagLists.h"
#include "library/HistoryEntry.h"
#include "library/InterruptedCopies.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/LongWork.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/WholeFile.h"
#include "ui/SchemeColours.h"
#include "ui/clsDialogs.h"
#include "ui/cwProgress.h"

#include <QDir>
#include <QLocale>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace {

const QString kWriting = QStringLiteral("Writing CSV file...");
const QString kFailed = QStringLiteral("Export Failed!");

// A field in double quotes, a quote inside doubled, so that commas, quotes
// and line breaks stay inside their field.
QString Quoted(const QString& value) {
  QString text = value;
  text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + text + QLatin1Char('"');
}

// A text from the library or the file system that a spreadsheet would run
// as a formula (one beginning with "=", "+", "-", "@", a tab or a carriage
// return) is written after a "'", which spreadsheets take as "this is text".
// The numbers the program writes itself (size, length, frame rate, bit rate)
// stay as they are: made from numbers, they hold no formula. A NUL (another
// program may have stored one in a name or a tag) is left out first, so that
// none hides a formula: readers of CSV take it for the end of the file or
// refuse the line.
QString TextCell(const QString& value) {
  static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
  QString text = value;
  text.remove(QChar(u'\0'));
  return !text.isEmpty() && kFormulaStarts.contains(text.front()) ? QLatin1Char('\'') + text : text;
}

QLocale PlainLocale() {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale;
}

// The tags field: the compact list without the marks of implied tags and
// without its leading ", " ("--No Tags" reads "No Tags").
QString TagsField(const QString& compact) {
  QString text = compact;
  text.remove(QStringLiteral("***"));
  return text.mid(2);
}

// One line of the export, CR LF included: name, folder, size in MB, length,
// dimensions, frame rate, bit rate and the file's tags, each quoted, the
// texts kept from running as formulas.
QString CsvRecord(const ResultItem& item, const QString& compactTags) {
  const QLocale locale = PlainLocale();
  const QStringList fields = {
      TextCell(item.FileName),
      TextCell(item.CurrentPath),
      locale.toString(item.FileSize / 1024.0 / 1024.0, 'f', 3) + QStringLiteral(" MB"),
      modReelwise::FormatDuration(item.Duration, false, false),
      TextCell(item.Dimensions),
      locale.toString(static_cast<double>(item.FrameRate), 'g', 7) + QStringLiteral("fps"),
      QString::number(item.Bitrate) + QStringLiteral("kbps"),
      TextCell(TagsField(compactTags))};
  QStringList quoted;
  for (const QString& field : fields) quoted << Quoted(field);
  return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

// The compact tag list of every file of the results, read in one pass; a
// failure is reported and the files then read "No Tags". The read takes
// seconds on a large library: it runs as long work on a connection of its
// own, the strip pulsing past the grace.
QHash<int32_t, QString> ResultTags(QWidget* owner) {
  struct Read {
    QString library;
    std::vector<int32_t> fileIds;
    QHash<int32_t, QString> tags;
  };
  auto read = std::make_shared<Read>();
  read->fileIds.reserve(gResults.size());
  for (size_t i = 1; i < gResults.size(); ++i) read->fileIds.push_back(gResults[i].FileID);
  if (!gLibrary) return {};
  read->library = gLibrary->LibraryPath;
  ErrorGuard({.owner = owner}).Run([&] {
    LongWork::Run([read](LongWork::Job&) {
      read->tags = TagStore::FileTagLists(*SqlConnection::Open(read->library), read->fileIds);
    });
  });
  return std::move(read->tags);
}

// How the file came out.
enum class Written { Whole, Failed, Stopped };

// The file is written a megabyte at a time: each one that comes back tells
// the wait that the disk still answers.
constexpr qsizetype kChunk = 1 << 20;

// The records in the file's bytes, the byte-order mark first; the progress
// strip counts the rows.
QByteArray CsvBytes(frmReelwise& form) {
  // One pacer for the whole build: past the grace the records' rows are
  // painted at once, however long the tags took.
  LongWork::Pacer pacer;
  form.progProgress->BroadcastProgress(kWriting, 0, gSchemeColour4);
  const QHash<int32_t, QString> tags = ResultTags(&form);
  const int n = static_cast<int>(gResults.size()) - 1;
  form.progProgress->SetMax(n);
  QByteArray bytes("\xEF\xBB\xBF");
  // A request to end the program stops the rows at the next one.
  for (int i = 1; i <= n && !LongWork::EndRequested(); ++i) {
    const ResultItem& item = gResults[static_cast<size_t>(i)];
    bytes += CsvRecord(item, tags.value(item.FileID, QStringLiteral("--No Tags"))).toUtf8();
    if (pacer.Due()) form.progProgress->BroadcastProgress(kWriting, i, gSchemeColour4);
  }
  return bytes;
}

// Writes the bytes through a save file away from the window's thread, so
// that an earlier export stays until the new one is whole. A medium that
// stops answering is given up after MountProbe's time limit; the work left
// behind then writes no file over the earlier one.
Written WriteCsv(const QString& path, QByteArray bytes, QString& failure) {
  struct Shared {
    QString path;
    QByteArray bytes;
    QString failure;
    bool whole = false;
  };
  auto shared = std::make_shared<Shared>(Shared{path, std::move(bytes), {}, false});
  const bool finished = LongWork::Run(
      [shared](LongWork::Job& job) {
        WholeFileWriter file(shared->path);
        job.Step();
        bool written = file.Open();
        // A named new file left by a write given up and cut short (the
        // program ended before the disk answered) goes at the next start.
        const std::optional<CopyUnderWay> noted =
            written && !file.TemporaryPath().isEmpty() ? std::make_optional<CopyUnderWay>(file.TemporaryPath())
                                                       : std::nullopt;
        for (qsizetype at = 0; written && at < shared->bytes.size() && !job.Cancelled(); at += kChunk) {
          written = file.Write(QByteArray::fromRawData(shared->bytes.constData() + at,
                                                       std::min(kChunk, shared->bytes.size() - at)));
          job.Step();
        }
        if (job.Cancelled()) return;
        shared->whole = written && file.Commit();
        if (!shared->whole) shared->failure = file.ErrorString();
      },
      {.quietLimitMs = MountProbe::kTimeLimitMs});
  if (!finished) {
    failure = QStringLiteral("Its disk did not answer within %1 seconds.").arg(MountProbe::kTimeLimitMs / 1000);
    return Written::Failed;
  }
  if (shared->whole) return Written::Whole;
  if (LongWork::EndRequested()) return Written::Stopped;
  failure = shared->failure;
  return Written::Failed;
}

}  // namespace

// Writes every result row to "export.csv" in the Temp folder, replacing an
// earlier export only once the new one is whole: UTF-8 with a byte-order
// mark. A file that cannot be written, or a disk that stops answering, is
// reported and the earlier export kept; a request to end the program during
// the write stops it with the earlier export kept, and says nothing.
void frmReelwise::ExportBrowserToCSV() {
  if (gResults.size() <= 1) {
    ShowProgramMessage(QStringLiteral("You are not currently browsing any files!"), 48, kFailed, this);
    return;
  }
  const QString path = gTempFolder + QStringLiteral("export.csv");
  QString failure;
  QByteArray bytes = CsvBytes(*this);
  const Written written = LongWork::EndRequested() ? Written::Stopped : WriteCsv(path, std::move(bytes), failure);
  ProgressOff();
  if (written == Written::Stopped) return;
  if (written == Written::Failed) {
    ShowProgramMessage(QStringLiteral("The export file ") + QDir::toNativeSeparators(path) +
                           QStringLiteral(" could not be written:\r\n") + failure,
                       48, kFailed, this);
    return;
  }
  ShowProgramMessage(QStringLiteral("File Exported to ") + QDir::toNativeSeparators(path), 64,
                     QStringLiteral("Export Complete"), this);
}

namespace {

// A failing step is reported as "number description " and the next one runs.
void OpeningStep(QWidget* owner, const std::function<void()>& step) {
  ErrorGuard({.title = QStringLiteral("Error Opening Library"),
              .owner = owner,
              .text = ErrorGuard::Numbered(QStringLiteral(" "), QStringLiteral(" "))})
      .Run(step);
}

}  // namespace

// Lets the user pick a library file and opens it; cancelling or choosing the
// open library changes nothing.
void frmReelwise::OpenLibraryDialog() {
  QString path;
  OpeningStep(this, [&] {
    gDialogs->strFilter = QStringLiteral("Reelwise Libraries (*.rw2)|*.rw2;|All files (*.*)|*.*");
    gDialogs->strInitialDir = gLibrariesFolder;
    gDialogs->strTitle = QStringLiteral("Choose Library");
    path = gDialogs->strGetOpenFileName(QString());
  });
  if (path.isEmpty() || !gLibrary || path == gLibrary->LibraryPath) return;
  gViewSpec.clear();
  gViewDescription.clear();
  if (!gTVOutMode) {
    OpeningStep(this, [] { gLibrary->DeleteSearchResults(); });
    OpeningStep(this, [] { gLibrary->FetchSearchResults(); });
    OpeningStep(this, [] { gLibrary->ShowSearchResults(); });
  }
  OpeningStep(this, [this] { Inspector().ClearInspector(); });
  OpeningStep(this, [&] { gLibrary->OpenLibrary(path, true); });
}
