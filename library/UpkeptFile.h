#pragma once
// What the next open of a library file the program knows still has to do of
// the upkeep (UpkeepStep bits, LibraryUpgrade.h), so that it may skip the
// rest and the page check before it.
//
// A file's stamp is SQLite's change counter from its header (every committed
// write in the rollback journal the program uses raises it), its schema
// cookie, its size, its modification time to the nanosecond and its inode.
// The program remembers the stamp of the file as it releases it with the
// steps left: none when the stamp is still the one taken right after its own
// upkeep, those its own writes since may have given work when it alone wrote
// the file (its connection records its writes, and SQLite's data version
// tells another connection's commits). Any write of another copy, an older
// version or another tool changes the stamp unaccounted for, and the next
// open runs every step. A journal or write-ahead log beside the file (a
// write cut short, another tool's log) makes the stamp unusable.
#include <QString>

#include <cstdint>

struct LibraryFileStamp {
  bool valid = false;
  int64_t changeCounter = 0;
  int64_t schemaCookie = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;
  int64_t inode = 0;
  int64_t device = 0;

  bool operator==(const LibraryFileStamp&) const = default;
};

// The file's stamp now; not valid when the file cannot be read, its disk
// does not answer, or a journal or write-ahead log lies beside it.
LibraryFileStamp StampOfLibraryFile(const QString& path);

// Remembers (in the settings) that this version of the program left `path`
// with `stamp` and `work` (UpkeepStep bits) left for its next open; an
// invalid stamp, or every step left, forgets any such record.
void RememberUpkeptFile(const QString& path, const LibraryFileStamp& stamp, unsigned work);

// The steps left for an open of `path` as the settings remember it, when
// this version left it with a stamp equal to `stamp` (which must be valid);
// every step otherwise.
unsigned RememberedWork(const QString& path, const LibraryFileStamp& stamp);
