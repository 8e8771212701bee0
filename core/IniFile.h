#pragma once
// An INI file read and written with the profile-string rules the program
// relies on: section and key names matched without regard to case, blanks
// around names and values ignored, a value in matching quotes read without
// them, sections and keys added as needed, every other line kept as it was.
// Values are not limited in length, and the writer quotes a value where that is
// needed for it to read back exactly.
#include <QString>
#include <QStringList>

#include <optional>

class IniFile {
 public:
  // Reads `path`. A missing file is an empty one; false when the file exists
  // but cannot be read (a folder, no permission), so it is never replaced.
  bool Load(const QString& path);

  // The value of the key; nothing when the section or the key is missing.
  std::optional<QString> Value(const QString& section, const QString& key) const;
  // Sets the key, adding the section and the key when missing. False, and
  // nothing changed, for names that cannot be written or a value holding a
  // line break.
  bool SetValue(const QString& section, const QString& key, const QString& value);
  // Writes the file atomically (temporary file, rename). False on failure.
  bool Save() const;

 private:
  // Index of the section's header line, or -1.
  qsizetype FindSection(const QString& section) const;
  // Index of the key's line within the section starting after `header`, or -1.
  qsizetype FindKey(qsizetype header, const QString& key) const;
  // Index one past the section's last non-blank line.
  qsizetype SectionEnd(qsizetype header) const;

  QString path_;
  QStringList lines_;
  QString lineEnd_ = QStringLiteral("\n");
  bool loaded_ = false;
};
