#pragma once
// The media-information library, asked in one place: what a file's formats
// are, and the library's whole report of a file. Every call into the library
// runs under one fixed character handling (C.UTF-8), whatever locale the
// user runs under: the library lower-cases its option names by the C
// library's rules, and under Turkish ones "Inform" is no option it knows.
#include <QString>

namespace MediaInfoDLL {

// The NUL-terminated UTF-16 text at `pointer`, copied; empty for a null pointer.
QString PtrToString(const char16_t* pointer);
// The same for the library's wide-character (UTF-32 on Linux) interface.
QString PtrToString(const wchar_t* pointer);

// The one-line format names of a file: container, video, audio (each stream's
// name in turn, run together, as the library gives them).
struct Formats {
  QString general;
  QString video;
  QString audio;
};

// The formats of the file at `path`; all empty when the library cannot open
// the file or answers anything that is not one line of format names.
Formats ReadFormats(const QString& path);

// The library's whole report of the file; `opened` false, and the report
// empty, when it cannot read the file.
QString Report(const QString& path, bool& opened);

// One line of at most 64 characters: any format the library names fits.
bool IsFormatName(const QString& text);

}  // namespace MediaInfoDLL
