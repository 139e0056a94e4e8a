// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace pagesift {

// The machine-wide registry hive (HKEY_LOCAL_MACHINE) as this platform keeps
// it: one text file in the registry export format that a person can read and
// import where a real registry exists.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Example]
//   @="the default value"
//   "Name"="C:\\path with \"quotes\""
//
// Keys in the order they were first written, each key's values in the order
// they were first written; every line ends with CR LF, UTF-8 without a byte
// order mark, one blank line at the end. Key paths and value names match
// without regard to case. Keys are only ever written with values: no subkeys
// are created and deleting a key removes exactly its own section.
class RegistryHive {
 public:
  struct Value {
    QString name;  // empty: the key's default value, written "@"
    QString data;
    bool operator==(const Value&) const = default;
  };
  struct Key {
    QString path;  // below HKEY_LOCAL_MACHINE, e.g. "Software\Example"
    QList<Value> values;
    bool operator==(const Key&) const = default;
  };

  // The hive in a file's bytes; nothing when they are not in the format above
  // (a line that is not blank, the first line, a section of this hive or a
  // string value inside a section; text the format cannot hold). Line ends
  // may be LF alone. An empty file is an empty hive. A key or value written
  // twice in the file is merged as writing it twice would.
  static std::optional<RegistryHive> parse(QByteArrayView bytes);
  QByteArray serialize() const;

  const QList<Key>& keys() const { return keys_; }
  bool hasKey(const QString& keyPath) const;
  std::optional<QString> value(const QString& keyPath, const QString& valueName) const;

  // Each returns false and changes nothing when it cannot be done: a key path
  // that is not one or more non-empty names joined by "\", text the file
  // cannot hold (a line break, a NUL, broken UTF-16), a key or value that is
  // not there. A value name that is empty addresses the default value.
  bool setValue(const QString& keyPath, const QString& valueName, const QString& data);
  bool deleteValue(const QString& keyPath, const QString& valueName);
  bool deleteKey(const QString& keyPath);

  bool operator==(const RegistryHive& other) const { return keys_ == other.keys_; }

 private:
  qsizetype findKey(const QString& keyPath) const;
  qsizetype findValue(qsizetype key, const QString& valueName) const;
  qsizetype addKey(const QString& keyPath);
  void setValueAt(qsizetype key, const QString& valueName, const QString& data);

  QList<Key> keys_;
  // Case-folded key path -> index in keys_; per key, case-folded value name
  // -> index in its values.
  QHash<QString, qsizetype> keyIndex_;
  QList<QHash<QString, qsizetype>> valueIndex_;
};

// The file that holds HKEY_LOCAL_MACHINE: the one PAGESIFT_HIVE names, else
// /etc/pagesift/HKEY_LOCAL_MACHINE.reg.
QString machineHivePath();

// Loads the hive file (a missing file is an empty hive), applies `change` and
// when it returns true replaces the file whole and atomically, creating its
// folder when missing: the new file is written beside it and renamed into
// its place. Only a regular file is read or replaced: a link at the path (to
// anything) is refused like a FIFO, a device or a folder, and nothing ever
// follows it. False, with the file left as it was, when the file cannot be
// read or is not a hive file, when `change` returns false, or when the file
// or its folder cannot be written. `error`, when given, is set to why the
// file could not be read or written (the path and the system's reason), or
// emptied.
bool updateHiveFile(const QString& filePath, const std::function<bool(RegistryHive&)>& change,
                    QString* error = nullptr);

}  // namespace pagesift
