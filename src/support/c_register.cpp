// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/c_register.h"

#include "platform/registry_hive.h"

namespace pagesift::CRegister {
namespace {

std::int16_t toBoolean(bool done) { return done ? kTrue : kFalse; }

// The name the hive uses: "*" is the default value, which has no name.
QString valueNameOf(const QString& valueName) { return valueName == QLatin1String("*") ? QString() : valueName; }

}  // namespace

std::int16_t SetValues(std::uint32_t hive, const QString& keyPath, const QList<std::pair<QString, QString>>& values,
                       QString* error) {
  if (error) error->clear();
  if (hive != HKEY_LOCAL_MACHINE) return kFalse;
  const QString path = TrimKeyPath(keyPath);
  bool storable = true;
  const bool done = updateHiveFile(
      machineHivePath(),
      [&](RegistryHive& machine) {
        for (const auto& [name, text] : values) storable = storable && machine.setValue(path, valueNameOf(name), text);
        return storable;
      },
      error);
  if (!storable && error) *error = QStringLiteral("a key, name or text the registry file cannot hold");
  return toBoolean(done);
}

std::int16_t SetValue(std::uint32_t hive, const QString& keyPath, const QString& valueName, const QString& valueText,
                      QString* error) {
  return SetValues(hive, keyPath, {{valueName, valueText}}, error);
}

std::int16_t DeleteEntry(std::uint32_t hive, const QString& keyPath, const QString& valueName, QString* error) {
  if (error) error->clear();
  if (hive != HKEY_LOCAL_MACHINE) return kFalse;
  if (valueName.isEmpty()) {
    return toBoolean(updateHiveFile(
        machineHivePath(), [&keyPath](RegistryHive& machine) { return machine.deleteKey(keyPath); }, error));
  }
  const QString path = TrimKeyPath(keyPath);
  const QString name = valueNameOf(valueName);
  return toBoolean(updateHiveFile(
      machineHivePath(), [&path, &name](RegistryHive& machine) { return machine.deleteValue(path, name); }, error));
}

QString TrimKeyPath(const QString& keyPath) {
  QString path = keyPath;
  if (path.startsWith(u'\\')) path.remove(0, 1);
  if (path.endsWith(u'\\')) path.chop(1);
  return path;
}

}  // namespace pagesift::CRegister
