#pragma once
// Reading and writing one key of an INI file at a time (see IniFile.h for the
// rules).
#include <QString>

namespace modINIfiles {

// The key's value; `defaultValue` when the file, the section or the key is
// missing, when the value is empty, or when the file cannot be read.
QString ReadIniString(const QString& section, const QString& key, const QString& file,
                      const QString& defaultValue = QString());
// Writes the key, creating the file, section and key as needed. True only when
// the file was written; a file that exists but cannot be read is left alone.
bool WriteIniString(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace modINIfiles
