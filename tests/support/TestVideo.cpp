#include "tests/support/TestVideo.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace rwtest {

bool HaveFfmpeg() {
  static const bool found = !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
  return found;
}

std::optional<QString> MakeTestVideo(const QString& folder, const QString& fileName, const TestVideoSpec& spec,
                                     QString* error) {
  if (!HaveFfmpeg()) {
    if (error) *error = QStringLiteral("ffmpeg is not installed");
    return std::nullopt;
  }
  const QString path = QDir(folder).filePath(fileName);
  const QString duration = QString::number(spec.seconds, 'f', 3);
  QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                   QStringLiteral("-nostdin"),     QStringLiteral("-y"),        QStringLiteral("-f"),
                   QStringLiteral("lavfi"),        QStringLiteral("-i"),
                   QStringLiteral("testsrc2=size=%1x%2:rate=%3:duration=%4")
                       .arg(spec.width)
                       .arg(spec.height)
                       .arg(spec.framesPerSecond)
                       .arg(duration)};
  if (spec.audio) {
    args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
         << QStringLiteral("sine=frequency=440:duration=%1").arg(duration) << QStringLiteral("-c:a")
         << QStringLiteral("aac") << QStringLiteral("-shortest");
  }
  args << QStringLiteral("-c:v") << QStringLiteral("mpeg4") << QStringLiteral("-q:v") << QStringLiteral("5")
       << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p") << path;
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
  ffmpeg.start(QStringLiteral("ffmpeg"), args);
  if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
    if (error) *error = QString::fromLocal8Bit(ffmpeg.readAll());
    return std::nullopt;
  }
  return path;
}

}  // namespace rwtest
