#pragma once
// A library of generated clips in the running program: "Films.rw2" made from
// the template and opened, its folder recorded as the location of a fixed
// disk (serial "AB12"), and each clip a file with its whole-file segment.
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"

#include <QDir>
#include <QString>

namespace rwtest {

inline void OpenClipLibrary(const QString& folder) {
  const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  gLibrary->OpenLibrary(library, true);
  QDir().mkpath(folder);
  gLibrary->Connection().Execute(
      QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\\\', '%1', 'Fixed Disk', NULL, 1)")
          .arg(folder));
}

// File `fileId` named `name` in the folder, its whole-file segment numbered
// as the file and ending at `seconds`.
inline void AddClipFile(int fileId, const QString& name, const QString& folder, double seconds) {
  SqlConnection& db = gLibrary->Connection();
  db.Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                            "CurrentPath) VALUES (%1, 'AB12', '', '%2', 0, '%3')")
                 .arg(fileId)
                 .arg(name, folder));
  db.Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
                            "Online, Rating) VALUES (%1, %1, 'Y', 0, %2, 1, 0)")
                 .arg(fileId)
                 .arg(seconds));
}

}  // namespace rwtest
