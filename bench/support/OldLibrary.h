#pragma once
// A library in the oldest layout the program upgrades, for the benchmarks of
// the upgrade and of the window's waits.
#include <QString>

// Writes folder/Old-<files>.rw2 (replacing it) and returns its path: `files`
// files, each with its whole-file segment (numbered apart from the file, so
// the renumbering moves every row) and two more, a rating, an alias and a
// description on every other file, a thumbnail per file (a JPEG picture, one
// in ten larger than 100 x 75) and 100 tags.
QString MakeOldLibrary(const QString& folder, int files);
