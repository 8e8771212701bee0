#pragma once
// The layout of a library file: the tables and columns the program expects
// (the empty library's, EmptyLibrary.sql), and what the layouts of earlier
// versions lack of it, which the upgrade adds. The open refuses a file whose
// layout is neither the program's nor an earlier one's, before anything in
// it is changed; a statement that does not compile is blamed on the file
// only where the file lacks a table or column of the layout.
#include "platform/SqlConnection.h"

#include <QString>

#include <optional>
#include <vector>

class SqlConnection;

namespace LibraryLayout {

struct Table {
  QString name;
  std::vector<QString> columns;
};

// The program's layout, table by table, as the empty library has it.
const std::vector<Table>& Reference();

// The first table or column of the program's layout the file lacks; none
// when it lacks none. A table the connection keeps in its TEMP schema (the
// work tables) counts as held, with the columns SQLite reads there.
std::optional<LayoutGap> Missing(SqlConnection& db);

// The first column whose absence makes the layout neither the program's nor
// one of an earlier version's: a column another program renamed or dropped,
// which no step of the upgrade adds, or one of a group the upgrade adds
// together (and fills from where the older layout kept the data) while
// others of the group are there. The upgrade would otherwise copy old data
// over what the file holds, or stop on the column later. None when the
// upgrade brings the layout up to the program's. The work tables, which the
// open makes anew, are not looked at.
std::optional<LayoutGap> NeitherOldNorCurrent(SqlConnection& db);

}  // namespace LibraryLayout
