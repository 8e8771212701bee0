#include "bench/support/ProgramInPrivateHome.h"

#include "app/modReelwise_startup.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "platform/MessageBoxSeam.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

ProgramInPrivateHome::ProgramInPrivateHome() {
  for (const char* folder : {".config", ".local/share", "Documents"}) QDir(home.path()).mkpath(folder);
  qputenv("HOME", QFile::encodeName(home.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
  SetMessageBoxHandler([this](const MessageBoxRequest&) {
    ++boxes;
    return vbOK;
  });
  modReelwise::ComputeProgramFolders();
  modReelwise::CreateProgramFolders();
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TipOfTheDay"), 0);
  if (!modReelwise::Main({})) std::abort();
}

ProgramInPrivateHome::~ProgramInPrivateHome() { modReelwise::ReleaseScratchLibrary(); }
