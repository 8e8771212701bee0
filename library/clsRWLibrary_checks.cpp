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

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <algorithm>
#include <memory>

#include <optional>
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

// A result row: the segment and the file it belongs to.
struct SearchRow {
  int64_t segmentId;
  int64_t fileId;
};

// Puts the rows into SearchResults (a device with two drive rows lists its
// files twice, and each goes in once) as bound values, many rows to a
// statement: a statement per row runs the statement machine once per file,
// and a list to be looked up row by row costs a search per row.
void InsertSearchRows(SqlConnection& db, const std::vector<SearchRow>& rows) {
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
      insert.Bind(parameter, rows[from + k].segmentId);
      insert.Bind(parameter + 1, rows[from + k].fileId);
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

// A whole file to look for: its full path, the drive root it lies under and
// its result row.
struct FileToCheck {
  QString path;
  QString root;
  SearchRow row;
};

// The whole files on online devices in segment order, each once under every
// drive root of its device. The roots are matched here rather than joined in
// the query: a search of the drive table for every file costs the query as
// much again as reading the files. The segments are the query's outer loop
// (CROSS JOIN), each file found by its key; the full path is joined by the
// query, one text made per file rather than its folder's, its name's and
// then their join.
std::vector<FileToCheck> FilesOnOnlineDevices(SqlConnection& db) {
  const QHash<QString, QStringList> roots = OnlineRoots(db);
  if (roots.isEmpty()) return {};
  QJsonArray serials;
  for (auto serial = roots.keyBegin(); serial != roots.keyEnd(); ++serial) serials.append(*serial);
  auto rows = db.Prepare(QStringLiteral(
      "SELECT IFNULL(VF.CurrentPath, '') || IFNULL(VF.FileName, ''), VF.FileID, VS.SegmentID, VF.DiskSerialNo "
      "FROM VideoSegments VS CROSS JOIN VideoFiles VF WHERE VF.FileID = VS.FileID AND VS.FileFlag = 'Y' AND "
      "VF.DiskSerialNo IN (SELECT value FROM json_each(?))"));
  rows->Bind(1, QString::fromUtf8(QJsonDocument(serials).toJson(QJsonDocument::Compact)));
  enum Column { kFullPath, kFileId, kSegmentId, kSerial };
  std::vector<FileToCheck> files;
  while (rows->Step()) {
    const auto device = roots.constFind(rows->toString(kSerial));
    if (device == roots.cend()) continue;
    const QString path = rows->toString(kFullPath);
    const SearchRow row{rows->toInt64(kSegmentId), rows->toInt64(kFileId)};
    for (const QString& root : *device) files.push_back({path, root, row});
  }
  return files;
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
// the user).
void clsRWLibrary::GetMissingFiles() {
  DeleteSearchResults();
  const std::vector<FileToCheck> files = FilesOnOnlineDevices(*m_Connection);
  ShowProgress(kMissingFilesCaption);
  if (!files.empty()) SetProgressMax(static_cast<int32_t>(files.size()));
  MountRoots mounts;
  // The files are looked for on a helper thread within the probe's time
  // limit, all in one sweep: a mount whose root answers may still hang on
  // every file below it.
  QStringList paths;
  QStringList roots;
  std::vector<SearchRow> checked;
  paths.reserve(static_cast<qsizetype>(files.size()));
  roots.reserve(static_cast<qsizetype>(files.size()));
  checked.reserve(files.size());
  for (const FileToCheck& file : files) {
    if (!mounts.Answers(file.root)) continue;
    paths << file.path;
    roots << file.root;
    checked.push_back(file.row);
  }
  const std::vector<std::optional<bool>> found = MountProbe::AskEach(
      paths, roots, [](const QString& path) { return modReelwise::FileExists(path); },
      [this](int done) { ShowProgress(kMissingFilesCaption, done); });
  std::vector<SearchRow> missing;
  for (size_t k = 0; k < found.size(); ++k) {
    if (!found[k]) {
      mounts.PassOver(roots[static_cast<qsizetype>(k)]);
      continue;
    }
    if (!*found[k]) missing.push_back(checked[k]);
  }
  if (!missing.empty()) {
    TransactionGuard guard(*m_Connection, QStringLiteral("GMF"));
    InsertSearchRows(*m_Connection, missing);
    guard.Commit();
  }
  ProgressOff();
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
