// The layers of the program, checked over its sources: every #include "..."
// of a folder may name only its own folder or a layer below it, in the order
// the build links them. A violation names the file, the line and the header.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Lowest first. A pane may use the panes before it; "import/devices" (the
// storage devices, which the library object calls) lies below the library.
const std::vector<QString>& Layers() {
  static const std::vector<QString> layers = {
      QStringLiteral("platform"), QStringLiteral("resources"), QStringLiteral("core"),
      QStringLiteral("ui"),       QStringLiteral("import/devices"), QStringLiteral("library"),
      QStringLiteral("player"),   QStringLiteral("options"),   QStringLiteral("import"),
      QStringLiteral("inspector"), QStringLiteral("carousel"), QStringLiteral("browser"),
      QStringLiteral("mainwindow"), QStringLiteral("app")};
  return layers;
}

// The layer a path inside the tree belongs to (its longest folder prefix);
// -1 for anything else.
int LayerOf(const QString& path) {
  int found = -1;
  qsizetype longest = 0;
  for (size_t i = 0; i < Layers().size(); ++i) {
    const QString prefix = Layers()[i] + QLatin1Char('/');
    if (path.startsWith(prefix) && prefix.size() > longest) {
      found = static_cast<int>(i);
      longest = prefix.size();
    }
  }
  return found;
}

// Tools built apart from the program, and what they generate.
bool OutsideTheProgram(const QString& path) {
  return path.startsWith(QLatin1String("resources/tools/")) || path.startsWith(QLatin1String("resources/generated/"));
}

// "file:line: includes header (layer) from layer", one per include against
// the order, for every source below `root`.
QStringList Violations(const QString& root) {
  static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s+"([^"]+)")re"));
  QStringList found;
  const QDir base(root);
  for (const QString& layer : Layers()) {
    QDirIterator files(base.filePath(layer), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString path = base.relativeFilePath(files.next());
      const int own = LayerOf(path);
      if (OutsideTheProgram(path) || Layers()[static_cast<size_t>(own)] != layer) continue;
      QFile file(files.filePath());
      if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        found << path + QStringLiteral(": cannot be read");
        continue;
      }
      QTextStream in(&file);
      for (int line = 1; !in.atEnd(); ++line) {
        const QRegularExpressionMatch match = include.match(in.readLine());
        if (!match.hasMatch()) continue;
        const QString header = match.captured(1);
        // A header named without a folder is one of the file's own folder.
        const int target = header.contains(QLatin1Char('/')) ? LayerOf(header) : own;
        if (target >= 0 && target <= own) continue;
        found << QStringLiteral("%1:%2: includes %3 (%4) from %5")
                     .arg(path)
                     .arg(line)
                     .arg(header, target < 0 ? QStringLiteral("no layer of the program")
                                             : Layers()[static_cast<size_t>(target)],
                          Layers()[static_cast<size_t>(own)]);
      }
    }
  }
  return found;
}

void Write(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

TEST(IncludeOrderTest, EveryIncludeOfTheProgramPointsDownOrWithinItsFolder) {
  const QStringList violations = Violations(QStringLiteral(RW_SOURCE_DIR));
  EXPECT_TRUE(violations.isEmpty()) << violations.join(QLatin1Char('\n')).toStdString();
}

TEST(IncludeOrderTest, IncludesUpwardsOrOutOfTheProgramAreNamedWithTheirLine) {
  QTemporaryDir tree;
  Write(tree.filePath(QStringLiteral("library/clsRWLibrary.cpp")),
        "#include \"library/clsRWLibrary.h\"\n#include \"core/modReelwise.h\"\n"
        "#include \"import/devices/modStorageDevices.h\"\n#include \"mainwindow/frmReelwise.h\"\n");
  Write(tree.filePath(QStringLiteral("import/devices/modStorageDevices.cpp")),
        "#include \"import/ImportPane.h\"\n#include \"modStorageDevices.h\"\n");
  Write(tree.filePath(QStringLiteral("player/clsRWPlayer.cpp")), "#include \"browser/ResultsPane.h\"\n");
  Write(tree.filePath(QStringLiteral("browser/ResultsPane.cpp")),
        "#include \"carousel/CarouselPane.h\"\n#include \"tests/support/TempHome.h\"\n");
  Write(tree.filePath(QStringLiteral("resources/tools/contact_sheet.cpp")), "#include \"app/main.h\"\n");
  EXPECT_EQ(Violations(tree.path()),
            (QStringList{"import/devices/modStorageDevices.cpp:1: includes import/ImportPane.h (import) from import/devices",
                         "library/clsRWLibrary.cpp:4: includes mainwindow/frmReelwise.h (mainwindow) from library",
                         "player/clsRWPlayer.cpp:1: includes browser/ResultsPane.h (browser) from player",
                         "browser/ResultsPane.cpp:2: includes tests/support/TempHome.h (no layer of the program) from "
                         "browser"}));
}

}  // namespace
