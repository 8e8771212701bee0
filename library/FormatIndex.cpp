#include "library/FormatIndex.h"

#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

namespace FormatIndex {

void Add(SqlConnection& db) {
  try {
    db.Execute(QStringLiteral("CREATE INDEX IF NOT EXISTS rw2_VideoFiles_FileFormat ON VideoFiles (FileFormat)"));
  } catch (const RWError&) {
  }
}

bool Exists(SqlConnection& db) {
  SqlRecordset rows(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = "
                                       "'rw2_VideoFiles_FileFormat' AND tbl_name = 'VideoFiles'"));
  return rows.Value(0).toInt() > 0;
}

}  // namespace FormatIndex
