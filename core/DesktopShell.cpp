#include "core/DesktopShell.h"

#include <QFileInfo>

#include <utility>

namespace {

std::unique_ptr<DesktopShell>& Current() {
  static std::unique_ptr<DesktopShell> shell;
  return shell;
}

}  // namespace

QString DesktopShell::FolderOf(const QString& path) { return QFileInfo(path).absolutePath() + QLatin1Char('/'); }

DesktopShell& TheDesktopShell() {
  if (!Current()) Current() = MakeSystemDesktopShell();
  return *Current();
}

std::unique_ptr<DesktopShell> SetDesktopShell(std::unique_ptr<DesktopShell> shell) {
  return std::exchange(Current(), std::move(shell));
}
