#pragma once
// The compact tag lists of many files at once, for the result export: the
// same text GetSegmentTags gives for a whole file (explicit tags, the tags
// they imply marked "***", in its order, "--No Tags" for none), read in one
// pass over the library's tags, links and segment tags instead of a walk of
// TEMP_FileTagStructure per file.
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

class SqlConnection;

namespace TagStore {

// FileID -> compact text for every FileID given (repeats are read once).
// Touches no table.
QHash<int32_t, QString> FileTagLists(SqlConnection& db, const std::vector<int32_t>& fileIds);

}  // namespace TagStore
