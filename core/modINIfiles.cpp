#include "core/modINIfiles.h"

#include "core/IniFile.h"

namespace modINIfiles {

QString ReadIniString(const QString& section, const QString& key, const QString& file, const QString& defaultValue) {
  IniFile ini;
  if (!ini.Load(file)) return defaultValue;
  const QString value = ini.Value(section, key).value_or(QString());
  return value.isEmpty() ? defaultValue : value;
}

bool WriteIniString(const QString& section, const QString& key, const QString& value, const QString& file) {
  IniFile ini;
  return ini.Load(file) && ini.SetValue(section, key, value) && ini.Save();
}

}  // namespace modINIfiles
