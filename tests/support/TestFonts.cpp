#include "tests/support/TestFonts.h"

#include "tests/support/TwoScreens.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QSaveFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace rwtest {
namespace {

// fonts-dejavu-core's faces; fonts-dejavu-extra puts more in the same folder.
const char kDejaVuCore[] = "DejaVuSans DejaVuSans-Bold DejaVuSansMono DejaVuSansMono-Bold DejaVuSerif DejaVuSerif-Bold";
// The rules Debian turns on, in their order, each from fontconfig-config's
// folder or fonts-dejavu-core's; not the machine's or the user's own.
const char kRules[] =
    "10-hinting-slight 10-scale-bitmap-fonts 10-yes-antialias 11-lcdfilter-default 20-unhint-small-dejavu-sans "
    "20-unhint-small-dejavu-sans-mono 20-unhint-small-dejavu-serif 30-metric-aliases 40-nonlatin 45-generic 45-latin "
    "48-spacing 49-sansserif 57-dejavu-sans 57-dejavu-sans-mono 57-dejavu-serif 60-generic 60-latin 65-nonlatin "
    "69-unifont 70-no-bitmaps 90-synthetic";

bool WithNoto() { return qgetenv("RW_TEST_FONTS") == "noto"; }

QByteArray Configuration() {
  const QByteArray dejaVu = "/usr/share/fonts/truetype/dejavu/";
  QByteArray xml = "<fontconfig><dir>" + dejaVu + "</dir><dir>/usr/share/fonts/truetype/liberation2</dir>\n";
  if (WithNoto()) xml += "<dir>/usr/share/fonts/truetype/noto</dir>\n";
  xml += "<selectfont><rejectfont><glob>" + dejaVu + "*</glob></rejectfont><acceptfont>";
  for (const QByteArray& face : QByteArray(kDejaVuCore).split(' ')) xml += "<glob>" + dejaVu + face + ".ttf</glob>";
  xml += "</acceptfont></selectfont>\n";
  for (const QByteArray& rules : QByteArray(kRules).split(' ')) {
    for (const char* folder : {"/usr/share/fontconfig/conf.avail/", "/etc/fonts/conf.avail/"}) {
      xml += "<include ignore_missing=\"yes\">" + QByteArray(folder) + rules + ".conf</include>\n";
    }
  }
  return xml + "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>\n";
}

}  // namespace

void PrepareTestFonts() {
  const QByteArray xml = Configuration();
  // Named by what it holds, written whole once and kept: every test and the
  // programs it starts read the same file, whichever process wrote it.
  const QString path = QDir::temp().filePath(
      QStringLiteral("rw-test-fonts-%1.conf")
          .arg(QLatin1String(QCryptographicHash::hash(xml, QCryptographicHash::Sha1).toHex().left(16))));
  QSaveFile file(path);
  if (!QFile::exists(path) && !(file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size() && file.commit())) {
    std::fprintf(stderr, "cannot write the tests' font configuration %s\n", qPrintable(path));
    std::exit(1);
  }
  qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
}

void AlsoWithNotoFonts() {
  if (!WithNoto()) {
    RunTestAgainWith({{QStringLiteral("RW_TEST_FONTS"), QStringLiteral("noto")}});
    return;
  }
  EXPECT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Noto Sans")))
      << "the Noto fonts are not installed: scripts/install-deps.sh installs fonts-noto-core";
}

}  // namespace rwtest
