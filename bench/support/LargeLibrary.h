#pragma once
// A large library for benchmarks: files, segments, a tag tree, segment tags
// and thumbnails in the sizes of a big personal collection.
#include <QByteArray>
#include <QString>

struct LargeLibrarySpec {
  int files = 20000;
  int segments = 50000;  // the files' whole-file segments included
  int tags = 2000;       // in categories of 100 (one category and 99 tags each)
  int segmentTags = 100000;
  int thumbnails = 50000;
};

// A JPEG thumbnail of that size, as the program stores them (a gradient).
QByteArray SampleThumbnail(int width = 100, int height = 75);

// The scale the environment variable RW_BENCH_SCALE asks for (1 when unset or
// not a positive whole number), so the same benchmarks show how costs grow.
int LargeLibraryScale();

// `spec` with its files, segments, segment tags and thumbnails multiplied by
// `scale`; the tag tree keeps its size.
LargeLibrarySpec ScaledLargeLibrary(LargeLibrarySpec spec, int scale);

// The segments of `spec` at the scale RW_BENCH_SCALE asks for: the results a
// benchmark showing every segment has.
int ScaledSegments(const LargeLibrarySpec& spec = {});

// Writes the library to folder/name (replacing it) and returns its path. The
// library is `spec` scaled by LargeLibraryScale().
QString MakeLargeLibrary(const QString& folder, const QString& name, const LargeLibrarySpec& spec = {});
