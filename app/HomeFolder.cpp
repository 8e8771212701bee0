#include "app/HomeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

bool UsableHome(const QString& path) { return QDir::isAbsolutePath(path) && QDir::cleanPath(path) != QLatin1String("/"); }

QByteArray PasswordHome() {
  const passwd* entry = ::getpwuid(::geteuid());
  return entry && entry->pw_dir ? QByteArray(entry->pw_dir) : QByteArray();
}

}  // namespace

QString ChooseHomeFolder(const QByteArray& homeVariable, const QByteArray& passwordHome) {
  const QString home = QFile::decodeName(homeVariable);
  if (UsableHome(home)) return home;
  const QString fromDatabase = QFile::decodeName(passwordHome);
  if (UsableHome(fromDatabase) && QFileInfo(fromDatabase).isDir()) return fromDatabase;
  return QString();
}

bool EnsureHomeFolder() {
  const QByteArray variable = qgetenv("HOME");
  const QString home = ChooseHomeFolder(variable, PasswordHome());
  if (home.isEmpty()) {
    std::fputs("Reelwise II needs a home folder for its settings and documents: HOME is not set and the user has "
               "none in the password database.\n",
               stderr);
    return false;
  }
  if (QFile::encodeName(home) != variable) qputenv("HOME", QFile::encodeName(home));
  return true;
}
