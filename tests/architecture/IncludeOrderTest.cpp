// The layers of the program, checked over its sources: every #include "..."
// of a folder may name only its own folder or a layer below it, in the order
// the build links them. A violation names the file, the line and the header.
// And no file turns the event loop but the input gate's door and the modal
// windows' loop.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Lowest first: each layer is a top-level folder. A pane may use the panes
// before it; "devices" (the storage devices, which the library object calls)
// lies below the library.
const std::vector<QString>& Layers() {
  static const std::vector<QString> layers = {
      QStringLiteral("platform"),  QStringLiteral("resources"), QStringLiteral("core"),
      QStringLiteral("ui"),        QStringLiteral("devices"),   QStringLiteral("library"),
      QStringLiteral("player"),    QStringLiteral("options"),   QStringLiteral("import"),
      QStringLiteral("inspector"), QStringLiteral("carousel"),  QStringLiteral("browser"),
      QStringLiteral("mainwindow"), QStringLiteral("app")};
  return layers;
}

// The layer a path inside the tree belongs to (its top-level folder); -1 for
// anything else.
int LayerOf(const QString& path) {
  if (!path.contains(QLatin1Char('/'))) return -1;
  const auto at = std::find(Layers().begin(), Layers().end(), path.section(QLatin1Char('/'), 0, 0));
  return at == Layers().end() ? -1 : static_cast<int>(at - Layers().begin());
}

// Tools built apart from the program, and what they generate.
bool OutsideTheProgram(const QString& path) {
  return path.startsWith(QLatin1String("resources/tools/")) || path.startsWith(QLatin1String("resources/generated/"));
}

// Calls `each` with every line of every source of the program below `root`:
// its file, number and text. A file that cannot be read is named in `found`.
void ForEachLine(const QString& root, QStringList& found,
                 const std::function<void(const QString& path, int line, const QString& text)>& each) {
  const QDir base(root);
  for (const QString& layer : Layers()) {
    QDirIterator files(base.filePath(layer), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString path = base.relativeFilePath(files.next());
      if (OutsideTheProgram(path)) continue;
      QFile file(files.filePath());
      if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        found << path + QStringLiteral(": cannot be read");
        continue;
      }
      QTextStream in(&file);
      for (int line = 1; !in.atEnd(); ++line) each(path, line, in.readLine());
    }
  }
}

// "file:line: includes header (layer) from layer", one per include against
// the order, for every source below `root`.
QStringList Violations(const QString& root) {
  static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s+"([^"]+)")re"));
  QStringList found;
  ForEachLine(root, found, [&found](const QString& path, int line, const QString& text) {
    const QRegularExpressionMatch match = include.match(text);
    if (!match.hasMatch()) return;
    const int own = LayerOf(path);
    const QString header = match.captured(1);
    // A header named without a folder is one of the file's own folder.
    const int target = header.contains(QLatin1Char('/')) ? LayerOf(header) : own;
    if (target >= 0 && target <= own) return;
    found << QStringLiteral("%1:%2: includes %3 (%4) from %5")
                 .arg(path)
                 .arg(line)
                 .arg(header, target < 0 ? QStringLiteral("no layer of the program")
                                         : Layers()[static_cast<size_t>(target)],
                      Layers()[static_cast<size_t>(own)]);
  });
  return found;
}

// "file:line: turns the event loop" for each call of processEvents and each
// nested QEventLoop of the program outside the input gate's door and the
// modal windows' loop, comments aside.
QStringList LoopTurns(const QString& root) {
  static const QRegularExpression turn(QStringLiteral(R"re(\bprocessEvents\b|\bQEventLoop\b)re"));
  static const QStringList doors = {QStringLiteral("platform/InputGate.cpp"), QStringLiteral("platform/ModalLoop.cpp")};
  QStringList found;
  ForEachLine(root, found, [&found](const QString& path, int line, const QString& text) {
    if (doors.contains(path) || !turn.match(text.section(QStringLiteral("//"), 0, 0)).hasMatch()) return;
    found << QStringLiteral("%1:%2: turns the event loop").arg(path).arg(line);
  });
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
  // Work turns the event loop only through the input gate's door.
  const QStringList turns = LoopTurns(QStringLiteral(RW_SOURCE_DIR));
  EXPECT_TRUE(turns.isEmpty()) << turns.join(QLatin1Char('\n')).toStdString();
}

TEST(IncludeOrderTest, IncludesUpwardsOrOutOfTheProgramAreNamedWithTheirLine) {
  QTemporaryDir tree;
  Write(tree.filePath(QStringLiteral("library/clsRWLibrary.cpp")),
        "#include \"library/clsRWLibrary.h\"\n#include \"core/modReelwise.h\"\n"
        "#include \"devices/modStorageDevices.h\"\n#include \"mainwindow/frmReelwise.h\"\n");
  // The devices lie between ui and the library: neither may reach the other way.
  Write(tree.filePath(QStringLiteral("devices/modStorageDevices.cpp")),
        "#include \"import/ImportPane.h\"\n#include \"modStorageDevices.h\"\n#include \"library/clsRWLibrary.h\"\n"
        "#include \"ui/modCairo.h\"\n");
  Write(tree.filePath(QStringLiteral("ui/modCairo.cpp")),
        "#include \"core/modReelwise.h\"\n#include \"devices/StorageDevice.h\"\n");
  Write(tree.filePath(QStringLiteral("player/clsRWPlayer.cpp")), "#include \"browser/ResultsPane.h\"\n");
  Write(tree.filePath(QStringLiteral("browser/ResultsPane.cpp")),
        "#include \"carousel/CarouselPane.h\"\n#include \"tests/support/TempHome.h\"\n");
  Write(tree.filePath(QStringLiteral("resources/tools/contact_sheet.cpp")), "#include \"app/main.h\"\n");
  EXPECT_EQ(Violations(tree.path()),
            (QStringList{"ui/modCairo.cpp:2: includes devices/StorageDevice.h (devices) from ui",
                         "devices/modStorageDevices.cpp:1: includes import/ImportPane.h (import) from devices",
                         "devices/modStorageDevices.cpp:3: includes library/clsRWLibrary.h (library) from devices",
                         "library/clsRWLibrary.cpp:4: includes mainwindow/frmReelwise.h (mainwindow) from library",
                         "player/clsRWPlayer.cpp:1: includes browser/ResultsPane.h (browser) from player",
                         "browser/ResultsPane.cpp:2: includes tests/support/TempHome.h (no layer of the program) from "
                         "browser"}));
  Write(tree.filePath(QStringLiteral("player/cMpvCore.cpp")),
        "// no processEvents here\nvoid Wait() {\n  QCoreApplication::processEvents();\n}\n");
  Write(tree.filePath(QStringLiteral("platform/InputGate.cpp")), "void Turn() { QCoreApplication::processEvents(); }\n");
  Write(tree.filePath(QStringLiteral("carousel/ClsT9Interface.cpp")), "QEventLoop loop;\n");
  EXPECT_EQ(LoopTurns(tree.path()), (QStringList{"player/cMpvCore.cpp:3: turns the event loop",
                                                 "carousel/ClsT9Interface.cpp:1: turns the event loop"}));
}

}  // namespace
