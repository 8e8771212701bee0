// The library checks: files that may be duplicates of each other, segments
// without a thumbnail and files that are no longer where the catalogue says.
// Each fills the result set and titles the history combo with what it shows;
// none records a view step or history, so a refresh brings the view back.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/ResultRows.h"
#include "library/ViewSpec.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <algorithm>
#include <memory>

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace {

const QString kMissingFilesCaption = QStringLiteral("Identifying Missing Files...");

// The duplicate check goes on whatever fails; see GetPotentialDuplicates.
template <typename Work>
void IgnoringErrors(Work&& work) {
  ErrorGuard({.quiet = true}).Run(std::forward<Work>(work));
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

// Puts the rows into SearchResults as bound values, many rows to a
// statement: a statement per row runs the statement machine once per file,
// and a list to be looked up row by row costs a search per row.
void InsertSearchRows(SqlConnection& db, std::span<const ResultItem> rows) {
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
      insert.Bind(parameter, rows[from + k].SegmentID);
      insert.Bind(parameter + 1, rows[from + k].FileID);
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

// The whole files to look for, each read as the result row it shows when it
// is missing (so that the rows need not be read again), with the drive roots
// of its device: a file is looked for under each of them. The files start at
// 1, after an entry that stands for gResults' unused entry 0, so that the
// missing ones become the results where they are.
struct FilesToCheck {
  QHash<QString, QStringList> roots;
  std::vector<ResultItem> files = std::vector<ResultItem>(1);
  std::vector<const QStringList*> filesRoots = std::vector<const QStringList*>(1);
  int32_t looks = 0;  // files times their roots
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
  QJsonArray serials;
  for (auto serial = check.roots.keyBegin(); serial != check.roots.keyEnd(); ++serial) serials.append(*serial);
  const QString online = QString::fromUtf8(QJsonDocument(serials).toJson(QJsonDocument::Compact));
  // Room for every file of the devices, counted on their index: a vector
  // that grows moves every row read so far.
  auto count = db.Prepare(
      QStringLiteral("SELECT count(*) FROM VideoFiles WHERE DiskSerialNo IN (SELECT value FROM json_each(?))"));
  count->Bind(1, online);
  if (count->Step()) check.files.reserve(static_cast<size_t>(count->toInt64(0)) + 1);
  auto rows = db.Prepare(QStringLiteral("SELECT %1, VF.DiskSerialNo AS DiskSerialNo FROM VideoSegments VS CROSS "
                                        "JOIN VideoFiles VF WHERE VF.FileID = VS.FileID AND VS.FileFlag = 'Y' AND "
                                        "VF.DiskSerialNo IN (SELECT value FROM json_each(?))")
                             .arg(ResultRows::SelectList()));
  rows->Bind(1, online);
  const ResultRows::Columns columns(*rows);
  const int serial = rows->FieldIndex(QStringLiteral("DiskSerialNo"));
  while (rows->Step()) {
    const auto device = check.roots.constFind(rows->toString(serial));
    if (device == check.roots.cend()) continue;
    ResultRows::Read(*rows, columns, check.files.emplace_back());
    check.filesRoots.push_back(&*device);
    check.looks += static_cast<int32_t>(device->size());
  }
  return check;
}

// The looks at the files: a file's full path under each drive root of its
// device whose mount answers, and the file it is.
struct Looks {
  QStringList paths;
  QStringList roots;
  std::vector<size_t> fileOf;
};

Looks LooksAt(const FilesToCheck& check, MountRoots& mounts) {
  Looks looks;
  looks.paths.reserve(check.looks);
  looks.roots.reserve(check.looks);
  looks.fileOf.reserve(static_cast<size_t>(check.looks));
  for (size_t f = 1; f < check.files.size(); ++f) {
    const QString path = check.files[f].CurrentPath + check.files[f].FileName;
    for (const QString& root : *check.filesRoots[f]) {
      if (!mounts.Answers(root)) continue;
      looks.paths << path;
      looks.roots << root;
      looks.fileOf.push_back(f);
    }
  }
  return looks;
}

// The rows in the order vw_SearchResults gives them: by file, a file's rows
// in segment order (the order they were read in).
void InViewOrder(std::span<ResultItem> rows) {
  const auto byFile = [](const ResultItem& a, const ResultItem& b) { return a.FileID < b.FileID; };
  // Whole files are mostly in order already: their file numbers are their
  // segments'.
  if (!std::is_sorted(rows.begin(), rows.end(), byFile)) std::stable_sort(rows.begin(), rows.end(), byFile);
}

// The rows of the files not found under a root that answered (each file
// once, however many of its looks missed it), after gResults' unused entry
// 0 and in the view's order, made of the files' own rows. The mount of a
// look that got no answer is passed over.
std::vector<ResultItem> MissingRows(FilesToCheck& check, const Looks& looks,
                                    const std::vector<std::optional<bool>>& found, MountRoots& mounts) {
  std::vector<bool> missing(check.files.size());
  for (size_t k = 0; k < found.size(); ++k) {
    if (!found[k]) {
      mounts.PassOver(looks.roots[static_cast<qsizetype>(k)]);
    } else if (!*found[k]) {
      missing[looks.fileOf[k]] = true;
    }
  }
  std::vector<ResultItem>& rows = check.files;
  size_t kept = 1;
  for (size_t f = 1; f < rows.size(); ++f) {
    if (!missing[f]) continue;
    if (kept != f) rows[kept] = std::move(rows[f]);
    ++kept;
  }
  rows.resize(kept);
  InViewOrder(std::span<ResultItem>(rows).subspan(1));
  return std::move(rows);
}

}  // namespace

// Files of equal size (above 0), bitrate and length. The three indexes are
// made for this query and dropped again, so the file does not keep them; any
// left by an interrupted run make the CREATE statements fail harmlessly.
void clsRWLibrary::GetPotentialDuplicates() {
  ShowProgress(QStringLiteral("Identifying Duplicate Candidates..."));
  IgnoringErrors([this] {
    TransactionGuard guard(*m_Connection, QStringLiteral("GPD"));
    for (const char* sql :
         {"CREATE INDEX idx_1 ON VideoFiles (Bitrate);", "CREATE INDEX idx_2 ON VideoFiles (FileSize);",
          "CREATE INDEX idx_3 ON VideoSegments (SelectionEnd);"}) {
      IgnoringErrors([&] { m_Connection->Execute(QLatin1String(sql)); });
    }
    guard.Commit();
  });
  DeleteSearchResults();
  IgnoringErrors([this] {
    TransactionGuard guard(*m_Connection, QStringLiteral("FSR"));
    IgnoringErrors([this] {
      // The groups of equal files are made once; a query correlated per file
      // walks every file of the same length for each file, which on a large
      // library of films of one length takes minutes.
      m_Connection->Execute(QStringLiteral(
          "INSERT INTO SearchResults SELECT B.SegmentID, B.FileID FROM VideoFiles A, VideoSegments B Where a.FileID = "
          "B.FileID AND B.FileFlag = 'Y' AND (A.FileSize, A.BitRate, B.SelectionEnd) IN (SELECT VF.FileSize, "
          "VF.BitRate, VS.SelectionEnd FROM VideoFiles VF, VideoSegments VS Where VF.FileID = VS.FileID AND FileSize > "
          "0 AND VS.FileFlag='Y' Group By VF.FileSize,VF.BitRate,VS.SelectionEnd HAVING COUNT(1) > 1)"));
    });
    IgnoringErrors([this] { FetchSearchResults(); });
    IgnoringErrors([this] { ShowSearchResults(); });
    guard.Commit();
  });
  IgnoringErrors([this] {
    TransactionGuard guard(*m_Connection, QStringLiteral("DI"));
    for (const char* sql : {"DROP INDEX idx_1;", "DROP INDEX idx_2;", "DROP INDEX idx_3;"}) {
      IgnoringErrors([&] { m_Connection->Execute(QLatin1String(sql)); });
    }
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
// the user). The missing files' rows, read with the files, are the results
// unless the library was written to while the files were looked for (a
// mount change rebuilds the devices' rows): then they are read again.
void clsRWLibrary::GetMissingFiles() {
  DeleteSearchResults();
  const int64_t changesBefore = m_Connection->TotalChanges();
  FilesToCheck check = FilesOnOnlineDevices(*m_Connection);
  ShowProgress(kMissingFilesCaption);
  if (check.looks > 0) SetProgressMax(check.looks);
  MountRoots mounts;
  const Looks looks = LooksAt(check, mounts);
  // The files are looked for on a helper thread within the probe's time
  // limit, all in one sweep: a mount whose root answers may still hang on
  // every file below it.
  const std::vector<std::optional<bool>> found = MountProbe::AskEach(
      looks.paths, looks.roots, [](const QString& path) { return modReelwise::FileExists(path); },
      [this](int done) { ShowProgress(kMissingFilesCaption, done); });
  std::vector<ResultItem> results = MissingRows(check, looks, found, mounts);
  const bool rowsCurrent = m_Connection->TotalChanges() == changesBefore;
  if (results.size() > 1) {
    TransactionGuard guard(*m_Connection, QStringLiteral("GMF"));
    InsertSearchRows(*m_Connection, std::span<const ResultItem>(results).subspan(1));
    guard.Commit();
  }
  ProgressOff();
  if (rowsCurrent) {
    FetchResults(&results);
  } else {
    FetchSearchResults();
  }
  ShowSearchResults();
  TitleHistory(View(), QStringLiteral("Missing Files"));
  if (!mounts.Skipped().isEmpty()) {
    ShowProgramMessage(
        QStringLiteral("These storage devices did not answer, so their files were not checked:\r\n\r\n") +
            mounts.Skipped().join(QStringLiteral("\r\n")),
        vbExclamation, QStringLiteral("Missing Files"), ProgramMessageOwner());
  }
}
