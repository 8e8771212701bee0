// Build-time tool: turns the schema text into the empty-library template that
// the program compiles in. Usage: make_empty_library <schema.sql> <output.rw2>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "make_empty_library: %s\n", error ? error : "unknown error");
    sqlite3_free(error);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_empty_library <schema.sql> <output.rw2>\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "make_empty_library: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream schema;
  schema << in.rdbuf();

  const std::string out = argv[2];
  std::remove(out.c_str());
  std::remove((out + "-journal").c_str());

  sqlite3* db = nullptr;
  if (sqlite3_open_v2(out.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "make_empty_library: cannot create %s\n", out.c_str());
    sqlite3_close(db);
    return 1;
  }
  // Page size and encoding must be set before the first table exists; user
  // version and application id stay 0 like every library made before.
  const bool ok = Exec(db, "PRAGMA page_size = 4096; PRAGMA encoding = 'UTF-8'; PRAGMA auto_vacuum = NONE;") &&
                  Exec(db, "BEGIN;") && Exec(db, schema.str()) && Exec(db, "COMMIT;") &&
                  Exec(db, "PRAGMA user_version = 0; PRAGMA application_id = 0;") && Exec(db, "VACUUM;");
  sqlite3_close(db);
  if (!ok) {
    std::remove(out.c_str());
    return 1;
  }
  return 0;
}
