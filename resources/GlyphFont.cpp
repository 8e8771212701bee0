#include "resources/GlyphFont.h"

#include "platform/FontRegistry.h"
#include "platform/RWError.h"
#include "platform/WholeFile.h"
#include "resources/Resources.h"

#include <QDir>

QString RegisterGlyphFont(const QString& folder) {
  const QString source = QStringLiteral("Resources");
  const QByteArray font = LoadResData(kGlyphFontFamily, kResFont);
  if (!QDir().mkpath(folder)) {
    throw RWError(kErrFileAccess, QStringLiteral("Cannot create the folder '%1'").arg(folder), source);
  }
  const QString path = QDir(folder).filePath(kGlyphFontFamily + QStringLiteral(".ttf"));
  QString reason;
  if (!WriteFileWhole(path, font, &reason)) {
    throw RWError(kErrFileAccess, QStringLiteral("Cannot write the glyph font to '%1': %2").arg(path, reason), source);
  }
  if (!RegisterFontFile(path)) {
    throw RWError(kErrInvalidPicture, QStringLiteral("The glyph font '%1' was refused").arg(path), source);
  }
  return path;
}
