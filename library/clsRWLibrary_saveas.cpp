// A new empty library, or a copy of the open one, under a name the user
// chooses; the new file is then opened.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/InterruptedCopies.h"
#include "library/cFactory.h"
#include "platform/LongWork.h"
#include "platform/RWError.h"
#include "platform/WholeFile.h"
#include "ui/clsDialogs.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sqlite3.h>

namespace {

QString AskForLibraryName(bool isNew) {
  if (!gDialogs) return QString();
  gDialogs->strInitialDir = gLibrariesFolder;
  gDialogs->strFilter = QStringLiteral("Reelwise Libraries (*.rw2)|*.rw2;|All files (*.*)|*.*");
  gDialogs->strTitle = isNew ? QStringLiteral("Specify a name for this new Library...") : QStringLiteral("Save Library");
  return gDialogs->strGetSaveFileName();
}

// Only the affirmative answer replaces a file.
bool ConfirmReplace() {
  return ShowProgramMessage(QStringLiteral("A Library with that name already exists!\r\n\r\n"
                                           "Do you wish to replace it with this one?"),
                            vbOKCancel | vbQuestion, QStringLiteral("Confirm Library Replace"),
                            ProgramMessageOwner()) == vbOK;
}

// A folder that takes no new file (missing, read-only, not ours) is named
// with the reason before the copy starts; the database's own failure would
// read as if the open library's file had gone away.
void CheckCopyTarget(const QString& name) {
  WholeFileWriter probe(name);
  if (!probe.Open()) {
    const int32_t number = probe.Error() == ENOSPC || probe.Error() == EDQUOT ? kErrDiskFull : kErrFileAccess;
    throw RWError(number, FileNotWrittenText(name, probe.ErrorString()), QStringLiteral("clsRWLibrary"));
  }
}

}  // namespace

void clsRWLibrary::SaveLibraryAsDialog(bool isNew) {
  QString name = AskForLibraryName(isNew);
  if (name.isEmpty() || (!isNew && name == LibraryPath)) return;
  if (!name.endsWith(QLatin1String(".rw2"))) name += QLatin1String(".rw2");
  // A copy onto the open file itself would replace it with itself.
  if (!isNew && name == LibraryPath) return;
  if (QFileInfo::exists(name) && (RefusedAsOpenElsewhere(name) || !ConfirmReplace())) return;
  ErrorGuard(Reporting()).Run([&] {
    if (isNew) {
      OpenNewLibraryFile(name);
    } else {
      // The open library stays open until the copy is complete and opened.
      // The copy reads the whole file: long work (LongWork.h), on a
      // connection of its own, since the window's painting meanwhile may
      // read through the library's. A note in Temp marks the copy under
      // way, so that one cut short is removed at the next start.
      const QString from = LibraryPath;
      CheckCopyTarget(name);
      bool damaged = false;
      {
        const CopyUnderWay noted(PartialCopyOf(name));
        LongWork::Run([&from, &name, &damaged](LongWork::Job&) {
          SqlConnection::Open(from)->CopyTo(name);
          // A copy that reads back damaged took what another program wrote
          // over the open library while it was read.
          damaged = SqlConnection::Examine(name) == DatabaseFileState::Damaged;
        });
      }
      if (damaged) {
        QFile::remove(name);
        throw StorageFault(RWError(kErrDatabase, QStringLiteral("The copy to '%1' read back damaged").arg(name),
                                   QStringLiteral("clsRWLibrary"), from, SQLITE_CORRUPT, FaultKind::Damaged));
      }
      OpenLibrary(name, false);
    }
  });
}

// The empty library is written and opened with a full reload; the open
// library stays open meanwhile. When the new library replaces the open one's
// very file, that connection is closed first and the scratch library is the
// open one until the new file has opened.
void clsRWLibrary::OpenNewLibraryFile(const QString& name) {
  // The inspected file belongs to the library open before, as do the
  // inspector's edits, which are stored in it now.
  View().ClearInspector();
  if (name == LibraryPath) ReturnToScratchLibrary();
  // The view on show belongs to the library open before: its steps name
  // that library's tags, which the new one has not.
  gViewSpec.clear();
  gViewDescription.clear();
  modReelwise::ExtractTemplateLibrary(name);
  OpenLibrary(name, true);
  // A new library that did not open, or whose first upkeep a fault of the
  // disk undid, holds nothing of the user's: it is closed and removed again,
  // so that a New that failed leaves no file behind.
  if (LibraryPath == name && ErrorGuard::StorageFaultTold()) ErrorGuard(Reporting()).Run([this] { AbandonOpen(); });
  if (LibraryPath != name) {
    QFile::remove(name + QStringLiteral("-journal"));
    QFile::remove(name);
  }
}

// Nothing more is read through the damaged file's connection: the scratch
// library takes its place before the inspector and the view are cleared.
void clsRWLibrary::CloseDamagedLibrary(const QString& path) {
  if (path.isEmpty() || path != LibraryPath || path == gPlaceholderLibraryPath) return;
  gViewSpec.clear();
  gViewDescription.clear();
  AbandonOpen();
  View().ClearInspector();
}

// Once its connection is open the scratch library is the open one, whatever
// fails after (its work tables on a failing disk).
void clsRWLibrary::ReturnToScratchLibrary() {
  ReleaseUpkeptFile();
  UseConnection(gFactory.OpenConnection(gPlaceholderLibraryPath));
  m_Lock.reset();
  ResetLibraryState(gPlaceholderLibraryPath);
  LibraryName.clear();
  View().ShowLibraryCaption(QStringLiteral("No Library Loaded"));
  UseWorkTables();
}
