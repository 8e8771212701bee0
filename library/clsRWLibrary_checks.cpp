// The library checks: files that may be duplicates of each other, segments
// without a thumbnail and files that are no longer where the catalogue says.
// Each fills the result set and titles the history combo with what it shows;
// none records a view step or history, so a refresh brings the view back.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ViewSpec.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"

#include <QDebug>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const QString kMissingFilesCaption = QStringLiteral("Identifying Missing Files...");

// The duplicate check goes on whatever fails; see GetPotentialDuplicates.
template <typename Work>
void IgnoringErrors(Work&& work) {
  ErrorGuard({.quiet = true}).Run(std::forward<Work>(work));
}

// The duplicate check's query, with the indexes made for it, on the work's
// own connection; a statement that fails is passed over (to the log). The
// result table is the window's connection's own: the pairs found go back
// to it.
using SegmentFilePairs = std::vector<std::pair<int64_t, int64_t>>;

void FindDuplicates(SqlConnection& db, SegmentFilePairs& found) {
  const auto passingOver = [&db](const char* sql) {
    try {
      db.Execute(QLatin1String(sql));
    } catch (const RWError& error) {
      qWarning() << "Duplicate check:" << error.Text();
    }
  };
  TransactionGuard guard(db, QStringLiteral("GPD"));
  for (const char* sql : {"CREATE INDEX idx_1 ON VideoFiles (Bitrate);", "CREATE INDEX idx_2 ON VideoFiles (FileSize);",
                          "CREATE INDEX idx_3 ON VideoSegments (SelectionEnd);"}) {
    passingOver(sql);
  }
  // The groups of equal files are made once; a query correlated per file
  // walks every file of the same length for each file, which on a large
  // library of films of one length takes minutes.
  try {
    SqlCommand pairs(
        db, QStringLiteral(
                "SELECT B.SegmentID, B.FileID FROM VideoFiles A, VideoSegments B Where a.FileID = B.FileID AND "
                "B.FileFlag = 'Y' AND (A.FileSize, A.BitRate, B.SelectionEnd) IN (SELECT VF.FileSize, VF.BitRate, "
                "VS.SelectionEnd FROM VideoFiles VF, VideoSegments VS Where VF.FileID = VS.FileID AND FileSize > 0 "
                "AND VS.FileFlag='Y' Group By VF.FileSize,VF.BitRate,VS.SelectionEnd HAVING COUNT(1) > 1)"));
    while (pairs.Step()) found.emplace_back(pairs.toInt64(0), pairs.toInt64(1));
  } catch (const RWError& error) {
    qWarning() << "Duplicate check:" << error.Text();
    found.clear();
  }
  for (const char* sql : {"DROP INDEX idx_1;", "DROP INDEX idx_2;", "DROP INDEX idx_3;"}) passingOver(sql);
  guard.Commit();
}

void TitleHistory(ILibraryView& view, const QString& title) {
  view.ClearHistoryCombo();
  view.SetHistoryComboText(title);
}

// Each mount's root is asked once; a mount that does not answer is passed over.
class MountRoots {
 public:
  bool Answers(const QString& root) {
    if (root.isEmpty()) return true;
    const auto known = answers_.constFind(root);
    if (known != answers_.cend()) return *known;
    const bool answers = MountProbe::RootAnswers(root);
    answers_.insert(root, answers);
    if (!answers) skipped_ << root;
    return answers;
  }
  // A file under the root did not answer: the rest of the mount is passed over.
  void PassOver(const QString& root) {
    if (!answers_.value(root, true)) return;
    answers_.insert(root, false);
    skipped_ << root;
  }
  const QStringList& Skipped() const { return skipped_; }

 private:
  QHash<QString, bool> answers_;
  QStringList skipped_;
};

// A whole file to look for: its whole-file segment and its number.
struct FileRow {
  int32_t SegmentID = 0;
  int32_t FileID = 0;
};

// Puts the rows into SearchResults as bound values, many rows to a
// statement: a statement per row runs the statement machine once per file,
// and a list to be looked up row by row costs a search per row.
void InsertSearchRows(SqlConnection& db, std::span<const FileRow> rows) {
  constexpr size_t kRowsPerStatement = 500;
  auto statement = [&db](size_t count) {
    QString sql = QStringLiteral("INSERT OR IGNORE INTO SearchResults (SegmentID, FileID) VALUES (?, ?)");
    sql.reserve(sql.size() + static_cast<qsizetype>(count) * 8);
    for (size_t k = 1; k < count; ++k) sql += QStringLiteral(", (?, ?)");
    return db.Prepare(sql);
  };
  std::unique_ptr<SqlCommand> full;
  for (size_t from = 0; from < rows.size(); from += kRowsPerStatement) {
    const size_t count = std::min(kRowsPerStatement, rows.size() - from);
    std::unique_ptr<SqlCommand> last;
    if (count == kRowsPerStatement && !full) full = statement(count);
    SqlCommand& insert = count == kRowsPerStatement ? *full : *(last = statement(count));
    for (size_t k = 0; k < count; ++k) {
      const int parameter = static_cast<int>(2 * k) + 1;
      insert.BindInt(parameter, rows[from + k].SegmentID);
      insert.BindInt(parameter + 1, rows[from + k].FileID);
    }
    insert.Execute();
  }
}

// The drive roots of the online devices by device serial, each device's in
// the order of their texts.
QHash<QString, QStringList> OnlineRoots(SqlConnection& db) {
  SqlRecordset rows(db, QStringLiteral("SELECT DiskSerialNo, LogicalPath FROM FileLocations WHERE PhysicalPath = "
                                       "':\\' AND Online = 1 ORDER BY DiskSerialNo, LogicalPath"));
  QHash<QString, QStringList> roots;
  for (; !rows.Eof(); rows.MoveNext()) roots[rows.Value(0).toString()] << rows.Value(1).toString();
  return roots;
}

// The whole files to look for, with their devices and their paths as the
// file system names them: a file is looked for under each drive root of its
// device. Only what the looks need is read: the rows of the files found
// missing are fetched as any results are.
struct FilesToCheck {
  QHash<QString, QStringList> roots;
  std::vector<const QStringList*> devices;  // the devices met, by their first file
  std::vector<FileRow> files;
  std::vector<int> deviceOf;
  QByteArray paths;  // each file's path, ended by a NUL
  std::vector<qsizetype> pathOf;
  int32_t looks = 0;  // files times their roots
};

// The devices of the rows by the serial's UTF-8 text as the query holds it,
// so that a row's device costs no text of its own.
class DevicesBySerial {
 public:
  explicit DevicesBySerial(FilesToCheck& check) : check_(check) {}

  // The device's number in check.devices, -1 for a serial that is not online.
  int Find(QByteArrayView serial) {
    const auto known = numbers_.find(std::string_view(serial.data(), static_cast<size_t>(serial.size())));
    if (known != numbers_.end()) return known->second;
    const auto roots = check_.roots.constFind(QString::fromUtf8(serial));
    int number = -1;
    if (roots != check_.roots.cend()) {
      number = static_cast<int>(check_.devices.size());
      check_.devices.push_back(&*roots);
    }
    serials_.emplace_back(serial.toByteArray());
    numbers_.emplace(std::string_view(serials_.back().constData(), static_cast<size_t>(serial.size())), number);
    return number;
  }

 private:
  FilesToCheck& check_;
  std::deque<QByteArray> serials_;
  std::unordered_map<std::string_view, int> numbers_;
};

// The whole files on online devices in segment order. The roots are matched
// here rather than joined in the query: a search of the drive table for
// every file costs the query as much again as reading the files. The
// segments are the query's outer loop (CROSS JOIN), each file found by its
// key.
FilesToCheck FilesOnOnlineDevices(SqlConnection& db) {
  FilesToCheck check;
  check.roots = OnlineRoots(db);
  if (check.roots.isEmpty()) return check;
  // The serials are bound one to a parameter: SQLite looks a file's serial
  // up in such a list for less than in one read from a JSON text.
  QString online = QStringLiteral("?");
  for (qsizetype k = 1; k < check.roots.size(); ++k) online += QStringLiteral(", ?");
  const auto bindSerials = [&check](SqlCommand& command) {
    int parameter = 0;
    for (auto serial = check.roots.keyBegin(); serial != check.roots.keyEnd(); ++serial) {
      command.Bind(++parameter, *serial);
    }
  };
  // Room for every file of the devices, counted on their index: a vector
  // that grows moves every row read so far.
  auto count = db.Prepare(QStringLiteral("SELECT count(*) FROM VideoFiles WHERE DiskSerialNo IN (%1)").arg(online));
  bindSerials(*count);
  if (count->Step()) {
    const size_t files = static_cast<size_t>(count->toInt64(0));
    check.files.reserve(files);
    check.deviceOf.reserve(files);
    check.pathOf.reserve(files);
    // Room for paths of a usual length: a text that grows copies every path so far.
    check.paths.reserve(static_cast<qsizetype>(files) * 64);
  }
  auto rows = db.Prepare(QStringLiteral("SELECT VS.SegmentID, VF.FileID, VF.DiskSerialNo, VF.CurrentPath, "
                                        "VF.FileName FROM VideoSegments VS CROSS JOIN VideoFiles VF WHERE VF.FileID = "
                                        "VS.FileID AND VS.FileFlag = 'Y' AND VF.DiskSerialNo IN (%1)")
                             .arg(online));
  bindSerials(*rows);
  DevicesBySerial devices(check);
  while (rows->Step()) {
    const int device = devices.Find(rows->ColumnText(2));
    if (device < 0) continue;
    check.files.push_back({rows->toInt(0), rows->toInt(1)});
    check.deviceOf.push_back(device);
    // The path as QFile::encodeName names CurrentPath + FileName: their
    // UTF-8 as stored.
    check.pathOf.push_back(check.paths.size());
    check.paths.append(rows->ColumnText(3)).append(rows->ColumnText(4)).append('\0');
    check.looks += static_cast<int32_t>(check.devices[static_cast<size_t>(device)]->size());
  }
  return check;
}

// The looks at the files: a file's path under each drive root of its device
// whose mount answers, and the file it is.
struct Looks {
  MountProbe::PathList paths;
  std::vector<size_t> fileOf;
};

// The roots of the device whose mounts answer, as numbers in `looks`' roots;
// each root is asked at the first file under it.
std::vector<int> AnsweringRoots(const QStringList& roots, MountRoots& mounts, Looks& looks) {
  std::vector<int> answering;
  for (const QString& root : roots) {
    if (!mounts.Answers(root)) continue;
    qsizetype number = looks.paths.roots.indexOf(root);
    if (number < 0) {
      number = looks.paths.roots.size();
      looks.paths.roots << root;
    }
    answering.push_back(static_cast<int>(number));
  }
  return answering;
}

Looks LooksAt(const FilesToCheck& check, MountRoots& mounts) {
  Looks looks;
  looks.paths.text = check.paths;
  looks.paths.starts.reserve(static_cast<size_t>(check.looks));
  looks.paths.rootOf.reserve(static_cast<size_t>(check.looks));
  looks.fileOf.reserve(static_cast<size_t>(check.looks));
  std::vector<std::optional<std::vector<int>>> answering(check.devices.size());
  for (size_t f = 0; f < check.files.size(); ++f) {
    const size_t device = static_cast<size_t>(check.deviceOf[f]);
    if (!answering[device]) answering[device] = AnsweringRoots(*check.devices[device], mounts, looks);
    for (const int root : *answering[device]) {
      looks.paths.starts.push_back(check.pathOf[f]);
      looks.paths.rootOf.push_back(root);
      looks.fileOf.push_back(f);
    }
  }
  return looks;
}

// The files not found under a root that answered, each once however many of
// its looks missed it. The mount of a look that got no answer is passed over.
std::vector<FileRow> MissingFiles(const FilesToCheck& check, const Looks& looks,
                                  const std::vector<std::optional<bool>>& found, MountRoots& mounts) {
  std::vector<bool> missing(check.files.size());
  for (size_t k = 0; k < found.size(); ++k) {
    if (!found[k]) {
      mounts.PassOver(looks.paths.Root(static_cast<int>(k)));
    } else if (!*found[k]) {
      missing[looks.fileOf[k]] = true;
    }
  }
  std::vector<FileRow> rows;
  for (size_t f = 0; f < check.files.size(); ++f) {
    if (missing[f]) rows.push_back(check.files[f]);
  }
  return rows;
}

}  // namespace

// Files of equal size (above 0), bitrate and length. The three indexes are
// made for this query and dropped again, so the file does not keep them; any
// left by an interrupted run make the CREATE statements fail harmlessly.
// The query takes seconds on a large library: it runs as long work, on a
// connection of its own, and the window then fetches what it found. The
// check goes on whatever fails.
void clsRWLibrary::GetPotentialDuplicates() {
  ShowProgress(QStringLiteral("Identifying Duplicate Candidates..."));
  DeleteSearchResults();
  SegmentFilePairs found;
  // The work owns its answer: a disk that stops answering leaves it behind.
  IgnoringErrors([this, &found] {
    auto answer = std::make_shared<SegmentFilePairs>();
    RunOwnWrites([answer](SqlConnection& db) { FindDuplicates(db, *answer); });
    found = std::move(*answer);
  });
  IgnoringErrors([this, &found] {
    TransactionGuard guard(*m_Connection, QStringLiteral("FSR"));
    IgnoringErrors([this, &found] {
      SqlCommand insert(*m_Connection, QStringLiteral("INSERT INTO SearchResults VALUES (?, ?)"));
      for (const auto& [segment, file] : found) {
        insert.BindInt(1, segment);
        insert.BindInt(2, file);
        insert.Execute();
      }
    });
    IgnoringErrors([this] { FetchSearchResults(); });
    IgnoringErrors([this] { ShowSearchResults(); });
    guard.Commit();
  });
  TitleHistory(View(), QStringLiteral("Potential Duplicate Files"));
}

// Whole files without a thumbnail row under the "File" scope, else the cut
// segments without one; a row holding no picture counts as a thumbnail.
void clsRWLibrary::GetMissingThumnails() {
  ShowProgress(QStringLiteral("Identifying Missing Thumbnails..."));
  DeleteSearchResults();
  m_SQL = ViewSpec::MissingThumbnailsStatement(gResultKind);
  {
    TransactionGuard guard(*m_Connection, QStringLiteral("FSR"));
    m_Connection->Execute(m_SQL);
    FetchSearchResults();
    ShowSearchResults();
    guard.Commit();
  }
  TitleHistory(View(), QStringLiteral("Files without a Thumbnail"));
}

// Every file on a device that is online through a drive root is looked for
// on the disk; files on offline devices are not tested, nor those under a
// mount that does not answer, at its root or at a file (they are named to
// the user). The missing files' rows are fetched once the files have been
// looked for, so they show the library as it is then (a mount change while
// the files are looked for rebuilds the devices' rows).
void clsRWLibrary::GetMissingFiles() {
  DeleteSearchResults();
  FilesToCheck check = FilesOnOnlineDevices(*m_Connection);
  ShowProgress(kMissingFilesCaption);
  if (check.looks > 0) SetProgressMax(check.looks);
  MountRoots mounts;
  const Looks looks = LooksAt(check, mounts);
  // The files are looked for on a helper thread within the probe's time
  // limit, all in one sweep: a mount whose root answers may still hang on
  // every file below it.
  const std::vector<std::optional<bool>> found = MountProbe::AskEach(
      looks.paths, modReelwise::FileExistsAt, [this](int done) { ShowProgress(kMissingFilesCaption, done); });
  const std::vector<FileRow> missing = MissingFiles(check, looks, found, mounts);
  if (!missing.empty()) {
    TransactionGuard guard(*m_Connection, QStringLiteral("GMF"));
    InsertSearchRows(*m_Connection, missing);
    guard.Commit();
  }
  // The fetch's progress takes the check's place; the results' display ends it.
  FetchSearchResults();
  ShowSearchResults();
  TitleHistory(View(), QStringLiteral("Missing Files"));
  if (!mounts.Skipped().isEmpty()) {
    ShowProgramMessage(
        QStringLiteral("These storage devices did not answer, so their files were not checked:\r\n\r\n") +
            mounts.Skipped().join(QStringLiteral("\r\n")),
        vbExclamation, QStringLiteral("Missing Files"), ProgramMessageOwner());
  }
}
