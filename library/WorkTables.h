#pragma once
// The work tables: results of the current view, the tag family of a search
// step, the tag cloud's counts, the tree's levels. They serve one connection
// for one operation, so they live in the connection's TEMP schema and never
// in the library file. The library keeps its stored tables of those names,
// empty, for other programs that read the file.
class SqlConnection;

namespace WorkTables {

// Drops work tables an earlier version left in the file, empties the stored
// ones, and makes the connection's TEMP tables (with their indexes, and the
// views that read them) from the stored tables' definitions. Called once the
// schema is final (after the upgrade): the upgrade must see the stored tables.
// A file only the program wrote since an open did this holds its stored
// tables empty and no leftovers: `storedMayHoldRows` false leaves them as
// they are, so that such an open writes nothing to the file.
void UseTemporaryWorkTables(SqlConnection& db, bool storedMayHoldRows = true);

}  // namespace WorkTables
