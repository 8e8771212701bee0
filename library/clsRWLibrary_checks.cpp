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
#include <QStringList>

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
  SqlRecordset rows(*m_Connection,
                    QStringLiteral("SELECT CurrentPath, VF.FileID AS FileID, VS.SegmentID AS SegmentID, FileName, "
                                   "FL.LogicalPath AS LogicalPath FROM VideoFiles VF, VideoSegments VS, FileLocations "
                                   "FL WHERE VF.FileID = VS.FileID AND VF.DiskSerialNo = Fl.DiskSerialNo AND "
                                   "VS.FileFlag = 'Y' AND FL.PhysicalPath = ':\\' AND FL.Online = 1"));
  ShowProgress(kMissingFilesCaption);
  if (rows.RecordCount() > 0) SetProgressMax(rows.RecordCount());
  MountRoots mounts;
  // The files are looked for on a helper thread within the probe's time
  // limit, all in one sweep: a mount whose root answers may still hang on
  // every file below it.
  QStringList paths;
  QStringList roots;
  std::vector<int64_t> segments;
  // The columns by position: the names would be looked up on every row.
  enum Column { kCurrentPath, kSegmentId = 2, kFileName, kLogicalPath };
  for (; !rows.Eof(); rows.MoveNext()) {
    const QString root = rows.Value(kLogicalPath).toString();
    if (!mounts.Answers(root)) continue;
    paths << rows.Value(kCurrentPath).toString() + rows.Value(kFileName).toString();
    roots << root;
    segments.push_back(rows.Value(kSegmentId).toInt64());
  }
  const std::vector<std::optional<bool>> found = MountProbe::AskEach(
      paths, roots, [](const QString& path) { return modReelwise::FileExists(path); },
      [this](int done) { ShowProgress(kMissingFilesCaption, done); });
  // The missing files go in with one statement: their segments as a JSON
  // list, each row's file read from its segment (the file the query above
  // paired it with). A device with two drive rows lists its files once.
  QString missing;
  for (size_t k = 0; k < found.size(); ++k) {
    if (!found[k]) {
      mounts.PassOver(roots[static_cast<qsizetype>(k)]);
      continue;
    }
    if (*found[k]) continue;
    missing += missing.isEmpty() ? u'[' : u',';
    missing += QString::number(segments[k]);
  }
  if (!missing.isEmpty()) {
    TransactionGuard guard(*m_Connection, QStringLiteral("GMF"));
    auto insert = m_Connection->Prepare(
        QStringLiteral("INSERT OR IGNORE INTO SearchResults (SegmentID, FileID) SELECT VS.SegmentID, VS.FileID FROM "
                       "json_each(?) J, VideoSegments VS WHERE VS.SegmentID = J.value"));
    insert->Bind(1, missing + u']');
    insert->Execute();
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
