#include "core/DesktopShell.h"

#include <utility>

namespace {

std::unique_ptr<DesktopShell>& Current() {
  static std::unique_ptr<DesktopShell> shell;
  return shell;
}

}  // namespace

DesktopShell& TheDesktopShell() {
  if (!Current()) Current() = MakeSystemDesktopShell();
  return *Current();
}

std::unique_ptr<DesktopShell> SetDesktopShell(std::unique_ptr<DesktopShell> shell) {
  return std::exchange(Current(), std::move(shell));
}
