#include "resources/Resources.h"

#include "platform/RWError.h"

#include <QFile>

QString ResourcePath(const QString& name, const QString& type) {
  return QStringLiteral(":/") + type.toUpper() + QLatin1Char('/') + name;
}

bool ResourceExists(const QString& name, const QString& type) { return QFile::exists(ResourcePath(name, type)); }

QByteArray LoadResData(const QString& name, const QString& type) {
  QFile file(ResourcePath(name, type));
  if (!file.open(QIODevice::ReadOnly)) {
    throw RWError(kErrResourceNotFound,
                  QStringLiteral("The resource '%1' of type '%2' does not exist in the program").arg(name, type),
                  QStringLiteral("Resources"));
  }
  return file.readAll();
}
