// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/settings_store.h"

#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace pagesift {
namespace {

QString settingsKey(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }

}  // namespace

SettingsStore::SettingsStore(const QString& applicationName)
    : filePath_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                applicationName + QStringLiteral(".ini")) {}

QString SettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const {
  const QSettings settings(filePath_, QSettings::IniFormat);
  const QVariant value = settings.value(settingsKey(section, key));
  if (!value.isValid()) return defaultValue;
  return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool SettingsStore::write(const QString& section, const QString& key, const QString& value) {
  QSettings settings(filePath_, QSettings::IniFormat);
  settings.setValue(settingsKey(section, key), value);
  settings.sync();
  return settings.status() == QSettings::NoError;
}

int readMaxImageSizeMiB(const SettingsStore& store) {
  bool ok = false;
  const int mebibytes = store.read(kSettingsSection, kMaxImageSizeKey, QString()).trimmed().toInt(&ok);
  return ok && mebibytes >= 1 && mebibytes <= 1048576 ? mebibytes : kMaxImageSizeDefault;
}

}  // namespace pagesift
