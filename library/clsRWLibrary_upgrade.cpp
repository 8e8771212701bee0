// The upkeep of every full open (schema upgrade, version stamp, orphan
// clean-up, device rebuild) and the compaction of the open file.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "devices/modStorageDevices.h"
#include "library/FormatIndex.h"
#include "library/LibraryUpgrade.h"
#include "platform/ErrorGuard.h"
#include "platform/LongWork.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"
#include "ui/CairoContext.h"
#include "ui/CairoImageList.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <QDebug>

#include <vector>

namespace {

constexpr int kThumbWidth = 100;
constexpr int kThumbHeight = 75;

struct StoredThumbnail {
  int32_t segmentId;
  int32_t fileId;
  QByteArray bytes;
};

// SQLite's count of the file's layout changes.
int64_t SchemaVersion(SqlConnection& db) {
  return SqlRecordset(db, QStringLiteral("PRAGMA schema_version")).Value(0).toInt64();
}

}  // namespace

QString UpgradeBackupPath(const QString& libraryPath) { return libraryPath + QStringLiteral(".bak"); }

// Nothing inside stops the upkeep: a step that fails leaves its part of the
// schema as it was. Only a renumbering that cannot complete undoes the whole
// upkeep, so that the file stays as it was, and the user is told; the answer
// is then false, since the file cannot be used in its old layout.
//
// The open found which steps have work (m_OpeningWork): a file the program
// left after an upkeep needs none of the upgrade and clean-up, one it alone
// wrote since only the sweeps its writes may have given rows to remove, and
// the version check's survey left out the sweeps with nothing to remove. An
// upgrade that changed the layout brings every sweep back. The device rebuild
// always runs: drives come and go while the library is closed.
bool clsRWLibrary::HouseKeep() {
  ShowProgress(QStringLiteral("Performing Housekeeping..."));
  unsigned work = m_OpeningWork;
  const bool upgrade = work & kUpgradeSchema;
  const bool backedUp = upgrade && NeedsRenumbering(*m_Connection) && BackUpBeforeRenumbering();
  UpgradeReport report;
  try {
    TransactionGuard guard(*m_Connection, QStringLiteral("HouseKeep"));
    if (upgrade) {
      const int64_t layout = SchemaVersion(*m_Connection);
      report = UpgradeLibrarySchema(*m_Connection);
      if (SchemaVersion(*m_Connection) != layout) work |= kOrphanSweeps | kSweepImpliedTags;
    }
    if (report.renumberingFailed) {
      guard.Rollback();
    } else {
      if (report.resizeThumbnails) ResizeThumbnails();
      if (upgrade) StampLibraryVersion(*m_Connection);
      RemoveOrphanRows(*m_Connection, work);
      if (upgrade) {
        FormatIndex::Add(*m_Connection);
        AddPictureIndex(*m_Connection);
      }
      guard.Commit();
    }
  } catch (const RWError& error) {
    qWarning() << "Housekeeping:" << error.Text();
  } catch (const StorageFault& fault) {
    // Told once for the open, which goes on to show what the file holds.
    ErrorGuard(Reporting()).Failed(fault.Error());
  }
  if (!report.problem.isEmpty()) {
    const QString copy = backedUp ? QStringLiteral("\r\n\r\nA copy of the Library as it was is kept in:\r\n") +
                                        UpgradeBackupPath(LibraryPath)
                                  : QString();
    ShowProgramMessage(report.problem + copy, vbExclamation, QStringLiteral("Library Upgrade"),
                       ProgramMessageOwner());
  }
  if (report.renumberingFailed) {
    ProgressOff();
    return false;
  }
  m_PathsMapped = modStorageDevices::EnumStorageDevices(*this, !(work & kMapPaths));
  ProgressOff();
  return true;
}

// Renumbering rewrites every file row; a copy of the file is kept first. A
// copy that cannot be written is told, naming it; the renumbering, undone as
// a whole when it cannot complete, goes on. False without the copy.
bool clsRWLibrary::BackUpBeforeRenumbering() {
  const QString copy = UpgradeBackupPath(LibraryPath);
  const auto tell = [&copy](const RWError& error) {
    // SQLite's words are for the log.
    if (error.SqliteCode() != 0) qWarning() << "Upgrade copy:" << error.Text();
    const QString reason = error.Kind() == FaultKind::DiskFull ? QStringLiteral("The disk is full.")
                           : error.SqliteCode() != 0           ? QStringLiteral("Its folder cannot be written.")
                                                               : error.Description();
    ShowProgramMessage(QStringLiteral("The copy of the Library kept before its upgrade could not be written to\r\n%1"
                                      "\r\n\r\n%2\r\n\r\nThe upgrade goes on; if it cannot complete, the Library "
                                      "is left as it was.")
                           .arg(copy, reason),
                       vbExclamation, QStringLiteral("Library Upgrade"), ProgramMessageOwner());
  };
  try {
    // A large library's copy takes seconds: it paints past the grace.
    LongWork::Pacer own;
    m_Connection->CopyTo(copy, SqlConnection::NewPartialName(copy), [this, &own](int done, int total) {
      if (ProgressDue(own)) {
        SetProgressMax(total);
        ShowProgress(QStringLiteral("Performing Housekeeping..."), done);
      }
      return true;
    });
    SetProgressMax(0);
    return true;
  } catch (const RWError& error) {
    tell(error);
  } catch (const StorageFault& fault) {
    tell(fault.Error());
  }
  return false;
}

// Thumbnails of other sizes are scaled, whole, to 100 x 75; those 100 pixels
// wide are left as they are. An error ends the resizing.
void clsRWLibrary::ResizeThumbnails() {
  std::vector<StoredThumbnail> rows;
  try {
    auto rs = m_Connection->OpenRecordset(QStringLiteral("Select SegmentID, FileID, Thumbnail FROM SegmentThumbnails"));
    for (; !rs->Eof(); rs->MoveNext()) {
      rows.push_back({rs->Fields(QStringLiteral("SegmentID")).toInt(), rs->Fields(QStringLiteral("FileID")).toInt(),
                      rs->Fields(QStringLiteral("Thumbnail")).toBytes()});
    }
    CairoObject& cairo = *modCairo::GetCairo();
    for (const StoredThumbnail& row : rows) {
      if (row.bytes.isEmpty()) continue;
      const ImageSurfacePtr picture = DecodePicture(row.bytes);
      if (picture->Width() == kThumbWidth) continue;
      auto tile = cairo.CreateSurface(kThumbWidth, kThumbHeight);
      tile->Context()->RenderSurface(*picture, 0, 0, kThumbWidth, kThumbHeight);
      tile->Surface().Flush();
      QImage resized = tile->Surface().Image().copy();
      SaveThumbnail(row.segmentId, row.fileId, resized);
    }
  } catch (const RWError& error) {
    qWarning() << "Thumbnail resizing:" << error.Text();
  }
}

// Rewriting a large file takes seconds: it runs as long work on a
// connection of its own.
void clsRWLibrary::CompactDatabase() {
  ShowProgress(QStringLiteral("Compacting Library..."));
  View().Repaint();
  // Refused while this connection holds a transaction, as its own compaction is.
  if (m_Connection->InTransaction()) return m_Connection->Compact();
  RunOwnWrites([](SqlConnection& db) { db.Compact(); });
}

// This connection must hold no transaction then, or the work finds the file
// busy; what the work changes, this connection reads afterwards. The upkeep
// takes a change by another connection (data_version) for one by another
// program: these are the program's own, so the count it keeps moves with
// them, unless another program wrote meanwhile. A failure the work throws
// (a busy or damaged file) comes back here.
//
// The work steps as SQLite works (a Ticking), so a compaction of minutes is
// never taken for a disk that stopped answering; a disk that makes no step
// for the mount probe's limit is given up, told as not answering, and the
// work (which owns what it uses) is stopped at its next step, its
// transaction rolled back by SQLite. A request to end the program stops the
// work's statement the same way, and the work ends there without a word:
// the file stays as it was.
void clsRWLibrary::RunOwnWrites(std::function<void(SqlConnection&)> work) {
  const QString path = LibraryPath;
  const bool noOtherWrites = m_UpkeptStamp.valid && m_Connection->DataVersion() == m_UpkeptDataVersion;
  bool answered = true;
  try {
    answered = LongWork::Run(
        [path, work = std::move(work)](LongWork::Job& job) {
          job.Step();
          const std::unique_ptr<SqlConnection> db = SqlConnection::Open(path);
          const SqlConnection::Ticking ticking(*db, [&job] {
            job.Step();
            return !job.Cancelled();
          });
          work(*db);
        },
        {.quietLimitMs = MountProbe::kTimeLimitMs});
  } catch (const RWError& error) {
    if (!SqlConnection::IsStopped(error) || !LongWork::EndRequested()) throw;
    return;
  }
  if (!answered) {
    StorageFault::Raise(RWError(kErrDatabase, QStringLiteral("The disk did not answer"), QStringLiteral("clsRWLibrary"),
                                path, 0, FaultKind::NotAnswering));
  }
  if (noOtherWrites) m_UpkeptDataVersion = m_Connection->DataVersion();
}
