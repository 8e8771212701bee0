#include "core/modShellDefs.h"

#include <QDir>
#include <QStandardPaths>

namespace modShellDefs {

ItemIdList GetSpecialFolderPIDL(intptr_t /*hWnd*/, int csidl) {
  QStandardPaths::StandardLocation location;
  switch (csidl) {
    case CSIDL_DESKTOP: location = QStandardPaths::DesktopLocation; break;
    case CSIDL_PERSONAL: location = QStandardPaths::DocumentsLocation; break;
    case CSIDL_APPDATA: location = QStandardPaths::GenericDataLocation; break;
    default: return {};
  }
  return {QStandardPaths::writableLocation(location)};
}

QString GetPathFromPIDL(const ItemIdList& pidl) {
  if (!pidl) return QString();
  QString path = QDir::cleanPath(pidl.path);
  return path == QLatin1String("/") ? QString() : path;
}

QString StripNulls(const QString& text) {
  const qsizetype nul = text.indexOf(QChar(0));
  return nul < 0 ? text : text.left(nul);
}

}  // namespace modShellDefs
