#pragma once
// Whether a library file is known to be as the program left it after a full
// upkeep (schema probes, version stamp, orphan clean-up), so that an open may
// skip that upkeep and the page check before it.
//
// A file's stamp is SQLite's change counter from its header (every committed
// write in the rollback journal the program uses raises it), its size, its
// modification time to the nanosecond and its inode. The program remembers
// the stamp of the file as it releases it, when the stamp is still the one
// taken right after its own upkeep; any later write, by this program, another
// copy, an older version or another tool, changes the stamp, and then the
// next open runs the whole upkeep again. A journal or write-ahead log beside
// the file (a write cut short, another tool's log) makes the stamp unusable.
#include <QString>

#include <cstdint>

struct LibraryFileStamp {
  bool valid = false;
  int64_t changeCounter = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;
  int64_t inode = 0;
  int64_t device = 0;

  bool operator==(const LibraryFileStamp&) const = default;
};

// The file's stamp now; not valid when the file cannot be read or a journal
// or write-ahead log lies beside it.
LibraryFileStamp StampOfLibraryFile(const QString& path);

// Remembers (in the settings) that `path` with `stamp` was left upkept by this
// version of the program; an invalid stamp forgets any such record.
void RememberUpkeptFile(const QString& path, const LibraryFileStamp& stamp);

// True when the settings remember `path` upkept by this version with a stamp
// equal to `stamp` (which must be valid).
bool RememberedUpkept(const QString& path, const LibraryFileStamp& stamp);
