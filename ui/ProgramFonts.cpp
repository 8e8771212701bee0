#include "ui/ProgramFonts.h"

#include "platform/FontRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>

namespace {

// "Fixedsys" takes the place of the old terminal font, which has no free
// counterpart; the About box's typed credits use it.
const char* const kFontFiles[] = {"tahoma.ttf", "tahomabd.ttf", "webdings.ttf", "ms_sans_serif.ttf", "fixedsys.ttf"};

}  // namespace

bool RegisterProgramFonts(const QString& folder) {
  const QDir dir(folder);
  for (const char* name : kFontFiles) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (QFileInfo::exists(path)) RegisterFontFile(path);
  }
  const QString tahoma = QStringLiteral("Tahoma");
  const bool resolved = QtHasFontFamily(tahoma) && PangoHasFontFamily(tahoma);
  if (!QtHasFontFamily(tahoma)) {
    QFont::insertSubstitutions(tahoma, {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  }
  return resolved;
}
