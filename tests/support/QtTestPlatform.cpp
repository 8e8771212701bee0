#include "tests/support/QtTestPlatform.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdlib>

#include <unistd.h>

namespace rwtest {
namespace {

QString& ConfigPath() {
  static QString path;
  return path;
}

QJsonObject Screen(const char* name, int x, int width, int height) {
  return QJsonObject{{"name", name},        {"x", x},          {"y", 0},
                     {"width", width},      {"height", height}, {"logicalDpi", 96},
                     {"logicalBaseDpi", 96}, {"dpr", 1}};
}

void RemoveConfig() {
  if (!ConfigPath().isEmpty()) QFile::remove(ConfigPath());
}

}  // namespace

void PrepareQtPlatform() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty() && platform != "offscreen") return;

  const QList<QByteArray> size = qgetenv("RW_TEST_SCREEN_SIZE").split('x');
  const int width = size.size() == 2 && size[0].toInt() > 0 ? size[0].toInt() : 1920;
  const int height = size.size() == 2 && size[1].toInt() > 0 ? size[1].toInt() : 1080;
  QJsonArray screens{Screen("Primary", 0, width, height)};
  if (qEnvironmentVariableIntValue("RW_TEST_SCREENS") >= 2) screens.append(Screen("Secondary", width, 1280, 1024));
  const QJsonObject config{{"synchronousWindowSystemEvents", false},
                           {"windowFrameMargins", false},
                           {"screens", screens}};

  ConfigPath() = QDir::temp().filePath(QStringLiteral("rw-test-screens-%1.json").arg(::getpid()));
  QFile file(ConfigPath());
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    file.write(QJsonDocument(config).toJson());
    file.close();
    // Kept until the process ends: programs a test starts read it too.
    std::atexit(RemoveConfig);
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(ConfigPath()));
  } else {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

}  // namespace rwtest
