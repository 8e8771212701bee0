#include "platform/FontRegistry.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

namespace {

bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// A Pango font map created before the registration would not see the new
// fonts; tell it that fontconfig's set changed.
void RefreshPango() {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  if (PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
}

}  // namespace

bool RegisterFontFile(const QString& path) {
  const QByteArray file = QFile::encodeName(path);
  const bool fc = FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file.constData())) == FcTrue;
  const bool qt = HaveGuiApplication() && QFontDatabase::addApplicationFont(path) >= 0;
  if (fc) RefreshPango();
  return fc && qt;
}

bool RegisterFontDirectory(const QString& folder) {
  const QByteArray dir = QFile::encodeName(folder);
  const bool fc = FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(dir.constData())) == FcTrue;
  bool qt = false;
  if (HaveGuiApplication()) {
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf"),
                                                      QStringLiteral("*.TTF"), QStringLiteral("*.OTF")},
                                                     QDir::Files);
    for (const QString& name : files) qt = QFontDatabase::addApplicationFont(QDir(folder).filePath(name)) >= 0 || qt;
  }
  if (fc) RefreshPango();
  return fc && qt;
}

bool QtHasFontFamily(const QString& family) {
  if (!HaveGuiApplication()) return false;
  for (const QString& known : QFontDatabase::families()) {
    if (known.compare(family, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

bool PangoHasFontFamily(const QString& family) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoFontFamily** families = nullptr;
  int count = 0;
  pango_font_map_list_families(map, &families, &count);
  bool found = false;
  const QByteArray wanted = family.toUtf8();
  for (int i = 0; i < count && !found; ++i) {
    found = g_ascii_strcasecmp(pango_font_family_get_name(families[i]), wanted.constData()) == 0;
  }
  g_free(families);
  return found;
}
