#include "resources/GlyphFont.h"

#include "platform/FontRegistry.h"
#include "platform/RWError.h"
#include "platform/WholeFile.h"
#include "resources/Resources.h"

#include <QDir>
#include <QFile>

namespace {

// Whether the file holds the font already, as an earlier start wrote it: it
// is then used as it is, so a start on a full disk still has its glyphs.
bool HoldsAlready(const QString& path, const QByteArray& font) {
  QFile file(path);
  return file.size() == font.size() && file.open(QIODevice::ReadOnly) && file.readAll() == font;
}

}  // namespace

QString RegisterGlyphFont(const QString& folder) {
  const QString source = QStringLiteral("Resources");
  const QByteArray font = LoadResData(kGlyphFontFamily, kResFont);
  const QString problem = MakeFolderPath(folder);
  if (!problem.isEmpty()) throw RWError(kErrFileAccess, problem, source, folder);
  const QString path = QDir(folder).filePath(kGlyphFontFamily + QStringLiteral(".ttf"));
  QString reason;
  if (!HoldsAlready(path, font) && !WriteFileWhole(path, font, &reason)) {
    throw RWError(kErrFileAccess, reason, source, path);
  }
  if (!RegisterFontFile(path)) {
    throw RWError(kErrInvalidPicture, QStringLiteral("The glyph font '%1' was refused").arg(path), source);
  }
  return path;
}
