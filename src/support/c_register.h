// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <utility>

// The small registry layer beneath the tools-menu registration. Only the
// machine-wide hive exists on this platform; it is kept as a file (see
// platform/registry_hive.h). Every function returns a 16-bit boolean: kTrue
// when the registry did what was asked. `error`, when given, is set to why
// the registry file could not be read or written, or to why a value cannot
// be stored, and emptied otherwise.
namespace pagesift::CRegister {

constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002;

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

// Writes string values, named as the first of each pair, under
// TrimKeyPath(keyPath), creating the key when missing: all of them in one
// change of the registry file, or none. The value name "*" (or an empty
// one) addresses the key's default value; the text may be empty.
std::int16_t SetValues(std::uint32_t hive, const QString& keyPath, const QList<std::pair<QString, QString>>& values,
                       QString* error = nullptr);
std::int16_t SetValue(std::uint32_t hive, const QString& keyPath, const QString& valueName, const QString& valueText,
                      QString* error = nullptr);

// Deletes one value of TrimKeyPath(keyPath) ("*" the default value), or, when
// the value name is empty, the whole key named by keyPath exactly as given.
std::int16_t DeleteEntry(std::uint32_t hive, const QString& keyPath, const QString& valueName,
                         QString* error = nullptr);

// The path with at most one leading and then at most one trailing "\" removed.
QString TrimKeyPath(const QString& keyPath);

}  // namespace pagesift::CRegister
