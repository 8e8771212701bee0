#pragma once
// A large library for benchmarks: files, segments, a tag tree, segment tags
// and thumbnails in the sizes of a big personal collection.
#include <QString>

struct LargeLibrarySpec {
  int files = 20000;
  int segments = 50000;  // the files' whole-file segments included
  int tags = 2000;       // in categories of 100 (one category and 99 tags each)
  int segmentTags = 100000;
  int thumbnails = 50000;
};

// Writes the library to folder/name (replacing it) and returns its path.
QString MakeLargeLibrary(const QString& folder, const QString& name, const LargeLibrarySpec& spec = {});
