#include "tests/support/TestVideo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace rwtest {

bool HaveFfmpeg() {
  static const bool found = !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
  return found;
}

int IndexSquareSize(int width) { return std::max(4, width / 20); }

namespace {

QString Seconds(const TestVideoSpec& spec) { return QString::number(spec.seconds, 'f', 3); }

// The frame index N drawn as 8 squares over the luma plane along the top
// edge; the chroma under them is neutral so they are pure black or white.
QString IndexFilter(const TestVideoSpec& spec) {
  const int s = IndexSquareSize(spec.width);
  const QString inSquares = QStringLiteral("lt(Y,%1)*lt(X,%2)").arg(s).arg(8 * s);
  const QString inChroma = QStringLiteral("lt(Y,%1)*lt(X,%2)").arg(s / 2).arg(4 * s);
  return QStringLiteral(",geq=lum='if(%1,if(bitand(N,pow(2,floor(X/%2))),235,16),lum(X,Y))'"
                        ":cb='if(%3,128,cb(X,Y))':cr='if(%3,128,cr(X,Y))'")
      .arg(inSquares)
      .arg(s)
      .arg(inChroma);
}

QStringList VideoInput(const TestVideoSpec& spec) {
  const QString size = QStringLiteral("size=%1x%2:rate=%3:duration=%4")
                           .arg(spec.width)
                           .arg(spec.height)
                           .arg(spec.frameRate.isEmpty() ? QString::number(spec.framesPerSecond) : spec.frameRate)
                           .arg(Seconds(spec));
  const QString source = spec.frameIndex
                             ? QStringLiteral("smptebars=%1,format=yuv420p%2").arg(size, IndexFilter(spec))
                             : QStringLiteral("testsrc2=%1").arg(size);
  return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source};
}

QStringList AudioInput(const TestVideoSpec& spec) {
  QStringList args{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                   QStringLiteral("sine=frequency=440:duration=%1").arg(Seconds(spec)), QStringLiteral("-c:a"),
                   QStringLiteral("aac")};
  if (spec.video) args << QStringLiteral("-shortest");
  return args;
}

// Runs ffmpeg with the arguments; the empty text on success, else why not.
QString RunFfmpeg(const QStringList& arguments, const QString& fileName) {
  QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                   QStringLiteral("-nostdin"), QStringLiteral("-y")};
  args << arguments;
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
  ffmpeg.start(QStringLiteral("ffmpeg"), args);
  // A long indexed clip draws every pixel through an expression: on a machine
  // whose every core is busy that takes minutes, so the ceiling is generous
  // and only a hung encoder meets it.
  constexpr int kEncodeCeilingMs = 8 * 60 * 1000;
  if (!ffmpeg.waitForFinished(kEncodeCeilingMs)) {
    ffmpeg.kill();
    ffmpeg.waitForFinished();
    return QStringLiteral("ffmpeg did not finish %1 within %2 s").arg(fileName).arg(kEncodeCeilingMs / 1000);
  }
  if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
    const QString output = QString::fromLocal8Bit(ffmpeg.readAll());
    return output.isEmpty() ? QStringLiteral("ffmpeg failed on %1").arg(fileName) : output;
  }
  return {};
}

}  // namespace

std::optional<QString> MakeTestVideo(const QString& folder, const QString& fileName, const TestVideoSpec& spec,
                                     QString* error) {
  if (!HaveFfmpeg()) {
    if (error) *error = QStringLiteral("ffmpeg is not installed");
    return std::nullopt;
  }
  const QString path = QDir(folder).filePath(fileName);
  // ffmpeg writes a rotation only when it copies the stream: the clip is
  // encoded first and copied with the rotation after.
  const QString encoded = spec.rotation ? path + QStringLiteral(".unturned.") + QFileInfo(path).suffix() : path;
  QStringList args;
  if (spec.video) args << VideoInput(spec);
  if (spec.audio) args << AudioInput(spec);
  if (spec.video) {
    args << QStringLiteral("-c:v") << (spec.codec.isEmpty() ? QStringLiteral("mpeg4") : spec.codec);
    if (spec.codec.isEmpty()) args << QStringLiteral("-q:v") << QString::fromLatin1(spec.frameIndex ? "2" : "5");
    args << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    if (spec.keyframeInterval > 0) args << QStringLiteral("-g") << QString::number(spec.keyframeInterval);
    if (spec.bFrames > 0) args << QStringLiteral("-bf") << QString::number(spec.bFrames);
    if (spec.interlaced) args << QStringLiteral("-flags") << QStringLiteral("+ilme+ildct") << QStringLiteral("-q:v") << "2";
    if (!spec.sampleAspect.isEmpty()) args << QStringLiteral("-vf") << QStringLiteral("setsar=") + spec.sampleAspect;
  }
  QString problem = RunFfmpeg(args << encoded, fileName);
  if (problem.isEmpty() && spec.rotation) {
    problem = RunFfmpeg({QStringLiteral("-i"), encoded, QStringLiteral("-c"), QStringLiteral("copy"),
                         QStringLiteral("-metadata:s:v:0"), QStringLiteral("rotate=%1").arg(spec.rotation), path},
                        fileName);
    QFile::remove(encoded);
  }
  if (!problem.isEmpty()) {
    if (error) *error = problem;
    return std::nullopt;
  }
  return path;
}

}  // namespace rwtest
