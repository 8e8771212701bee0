#pragma once
// The index of the files by format. The library tree reads the distinct
// formats through it, a few lookups whatever the number of files. Every full
// upkeep adds it; a file opened without one (an older file, or one that
// could not take it) is read by a scan of its files, with the same result.
class SqlConnection;

namespace FormatIndex {

// Adds the index when it is missing. A file that cannot take it (read-only,
// full) keeps working without it, so a failure is passed over.
void Add(SqlConnection& db);

// True when the file holds the index.
bool Exists(SqlConnection& db);

}  // namespace FormatIndex
