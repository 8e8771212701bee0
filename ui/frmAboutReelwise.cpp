#include "ui/frmAboutReelwise.h"

frmAboutReelwise::frmAboutReelwise() {
  setObjectName(QStringLiteral("frmAboutReelwise"));
  setWindowTitle(QStringLiteral("About Reelwise II"));
}
