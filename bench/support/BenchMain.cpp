// main() of every benchmark program: a QApplication on the offscreen platform
// (unless QT_QPA_PLATFORM says otherwise), the program's fonts and scheme
// colours, then Google Benchmark.
#include "ui/ProgramFonts.h"
#include "ui/SchemeColours.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // As in the program: video windows draw textures of the player's own context.
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  RegisterProgramFonts();
  LoadSchemeColours();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
