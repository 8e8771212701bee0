#pragma once
// A test that makes a statement fail with a trigger of its own (a disk that
// fills, a write refused) first allows triggers on the connection: the
// program's connections run none, a trigger in a library file being another
// program's.
#include "platform/SqlConnection.h"

#include <QString>

#include <sqlite3.h>

namespace rwtest {

inline void AddFaultTrigger(SqlConnection& db, const QString& createTrigger) {
  sqlite3_db_config(db.Handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
  db.Execute(createTrigger);
}

}  // namespace rwtest
