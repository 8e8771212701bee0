#include "core/IniFile.h"

#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

bool IsQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }

// The section name of a header line such as "[App1]", or nothing.
std::optional<QString> SectionName(const QString& line) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(QLatin1Char('['))) return std::nullopt;
  const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
  if (close < 0) return std::nullopt;
  return trimmed.mid(1, close - 1).trimmed();
}

// Splits "key = value" into its trimmed key and raw value part.
bool SplitKeyLine(const QString& line, QString& key, QString& value) {
  const QString trimmed = line.trimmed();
  if (trimmed.startsWith(QLatin1Char(';'))) return false;
  const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
  if (equals < 0) return false;
  key = trimmed.left(equals).trimmed();
  value = trimmed.mid(equals + 1).trimmed();
  return true;
}

QString Unquote(const QString& value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
    return value.mid(1, value.size() - 2);
  }
  return value;
}

// The value as it must be written to read back as itself: quoted when blanks
// at its ends would be trimmed or quotes at its ends would be taken off.
QString Quote(const QString& value) {
  const bool blanksAtEnds = value != value.trimmed();
  const bool quotedLooking = value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
  return blanksAtEnds || quotedLooking ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

bool HasLineBreak(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// UTF-8 (with or without a byte-order mark), UTF-16 with its mark, and text
// from the older single-byte code page read as Latin-1.
QString Decode(const QByteArray& data) {
  const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(data);
  if (marked && *marked != QStringConverter::Utf8) return QStringDecoder(*marked)(data);
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(data);
  return utf8.hasError() ? QString::fromLatin1(data) : text;
}

}  // namespace

bool IniFile::Load(const QString& path) {
  path_ = path;
  lines_.clear();
  loaded_ = false;
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) {
    loaded_ = true;
    return true;
  }
  QFile file(path);
  if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return false;
  const QString text = Decode(file.readAll());
  if (file.error() != QFileDevice::NoError) return false;
  lineEnd_ = text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
  lines_ = text.split(QLatin1Char('\n'));
  for (QString& line : lines_) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  if (!lines_.isEmpty() && lines_.back().isEmpty()) lines_.removeLast();
  loaded_ = true;
  return true;
}

qsizetype IniFile::FindSection(const QString& section) const {
  const QString wanted = section.trimmed();
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const std::optional<QString> name = SectionName(lines_.at(i));
    if (name && name->compare(wanted, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

qsizetype IniFile::FindKey(qsizetype header, const QString& key) const {
  const QString wanted = key.trimmed();
  for (qsizetype i = header + 1; i < lines_.size() && !SectionName(lines_.at(i)); ++i) {
    QString name;
    QString value;
    if (SplitKeyLine(lines_.at(i), name, value) && name.compare(wanted, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

qsizetype IniFile::SectionEnd(qsizetype header) const {
  qsizetype end = header + 1;
  for (qsizetype i = header + 1; i < lines_.size() && !SectionName(lines_.at(i)); ++i) {
    if (!lines_.at(i).trimmed().isEmpty()) end = i + 1;
  }
  return end;
}

std::optional<QString> IniFile::Value(const QString& section, const QString& key) const {
  const qsizetype header = FindSection(section);
  if (header < 0) return std::nullopt;
  const qsizetype line = FindKey(header, key);
  if (line < 0) return std::nullopt;
  QString name;
  QString value;
  SplitKeyLine(lines_.at(line), name, value);
  return Unquote(value);
}

bool IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
  const QString sectionName = section.trimmed();
  const QString keyName = key.trimmed();
  if (!loaded_ || sectionName.isEmpty() || keyName.isEmpty()) return false;
  if (sectionName.contains(QLatin1Char(']')) || keyName.contains(QLatin1Char('=')) ||
      keyName.startsWith(QLatin1Char(';')) || keyName.startsWith(QLatin1Char('['))) {
    return false;
  }
  if (HasLineBreak(sectionName) || HasLineBreak(keyName) || HasLineBreak(value)) return false;
  const QString line = keyName + QLatin1Char('=') + Quote(value);
  qsizetype header = FindSection(sectionName);
  if (header < 0) {
    lines_.append(QLatin1Char('[') + sectionName + QLatin1Char(']'));
    header = lines_.size() - 1;
  }
  const qsizetype existing = FindKey(header, keyName);
  if (existing >= 0) {
    lines_[existing] = line;
  } else {
    lines_.insert(SectionEnd(header), line);
  }
  return true;
}

bool IniFile::Save() const {
  if (!loaded_) return false;
  QString text;
  for (const QString& line : lines_) text += line + lineEnd_;
  return WriteFileWhole(path_, text.toUtf8());
}
