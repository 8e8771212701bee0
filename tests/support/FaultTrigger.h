#pragma once
// A test that makes a statement fail with a trigger of its own (a disk that
// fills, a write refused) first allows triggers on the connection: the
// program's connections run none, a trigger in a library file being another
// program's. In the trigger, `SELECT rw_fault(13)` fails the statement with
// SQLite's result code 13 (SQLITE_FULL), as the disk itself would;
// `RAISE(ABORT, ...)` fails it as a constraint of another program would.
#include "platform/SqlConnection.h"

#include <QString>

#include <sqlite3.h>

namespace rwtest {

inline void FailWithCode(sqlite3_context* context, int, sqlite3_value** argv) {
  const int code = sqlite3_value_int(argv[0]);
  if (code == SQLITE_NOMEM) {
    sqlite3_result_error_nomem(context);
    return;
  }
  sqlite3_result_error(context, "fault made by the test", -1);
  sqlite3_result_error_code(context, code);
}

inline void AddFaultTrigger(SqlConnection& db, const QString& createTrigger) {
  sqlite3_db_config(db.Handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
  sqlite3_create_function_v2(db.Handle(), "rw_fault", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, &FailWithCode,
                             nullptr, nullptr, nullptr);
  db.Execute(createTrigger);
}

}  // namespace rwtest
