#include "browser/frmFindFiles.h"

frmFindFiles::frmFindFiles() {
  setObjectName(QStringLiteral("frmFindFiles"));
  setWindowTitle(QStringLiteral("Find Files"));
}
