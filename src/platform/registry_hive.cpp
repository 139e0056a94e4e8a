// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/registry_hive.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <string>

#include "analysis/text_file.h"

namespace pagesift {
namespace {

const QLatin1String kHeader("Windows Registry Editor Version 5.00");
const QLatin1String kSectionStart("[HKEY_LOCAL_MACHINE\\");
const QLatin1String kLineEnd("\r\n");

// A hive file larger than this is not one the program wrote: it is refused
// rather than read into memory.
constexpr qint64 kMaxHiveBytes = 16 * 1024 * 1024;

// Text a line of the file can carry and give back unchanged.
bool isStorable(QStringView text) {
  if (!text.isValidUtf16()) return false;
  for (const QChar c : text) {
    if (c == u'\r' || c == u'\n' || c == u'\0') return false;
  }
  return true;
}

// One or more non-empty key names joined by "\".
bool isKeyPath(QStringView path) {
  return !path.isEmpty() && isStorable(path) && !path.startsWith(u'\\') && !path.endsWith(u'\\') &&
         !path.contains(QLatin1String("\\\\"));
}

QString fold(const QString& name) { return name.toCaseFolded(); }

void appendQuoted(QString& out, const QString& text) {
  out += u'"';
  for (const QChar c : text) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  out += u'"';
}

// Reads a quoted string starting at line[pos] (which must be '"'); only \\ and
// \" are escapes. Leaves pos after the closing quote.
std::optional<QString> readQuoted(QStringView line, qsizetype& pos) {
  if (pos >= line.size() || line[pos] != u'"') return std::nullopt;
  QString text;
  for (++pos; pos < line.size(); ++pos) {
    const QChar c = line[pos];
    if (c == u'"') {
      ++pos;
      return text;
    }
    if (c == u'\\') {
      if (++pos >= line.size() || (line[pos] != u'\\' && line[pos] != u'"')) return std::nullopt;
    }
    text += line[pos];
  }
  return std::nullopt;
}

bool isBlank(QStringView line) {
  for (const QChar c : line) {
    if (c != u' ' && c != u'\t') return false;
  }
  return true;
}

// What went wrong and then where, so that a narrow status bar shows the why.
QString whatAndWhere(const QString& what, const std::string& path) {
  return what + QStringLiteral(" (") + QFile::decodeName(path.c_str()) + u')';
}

QString describe(const FileError& failure, const std::string& path) {
  const QString text = QString::fromLocal8Bit(failure.what());
  const QString named = u'\'' + QFile::decodeName(path.c_str()) + QStringLiteral("': ");
  return text.startsWith(named) ? whatAndWhere(text.sliced(named.size()), path) : text;
}

// The hive in the file, which must be a regular file (nothing follows a
// link); a missing file is an empty hive.
std::optional<RegistryHive> loadHive(const std::string& path, QString& error) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) return RegistryHive();
  try {
    if (info.st_size <= kMaxHiveBytes) {
      const std::string bytes = ReadWholeFile(path);
      if (bytes.size() <= static_cast<std::size_t>(kMaxHiveBytes)) {
        if (std::optional<RegistryHive> hive = RegistryHive::parse(QByteArrayView(bytes.data(), bytes.size()))) {
          return hive;
        }
      }
    }
    error = whatAndWhere(QStringLiteral("not a registry file"), path);
  } catch (const FileError& failure) {
    error = describe(failure, path);
  }
  return std::nullopt;
}

// Creates the folder when missing, and those missing above it, with one
// attempt each; the system's reason when it cannot.
std::optional<QString> makeFolder(const std::string& path) {
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) return std::nullopt;
  int failure = exists ? ENOTDIR : errno;
  if (failure == ENOENT) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
      if (std::optional<QString> failed = makeFolder(path.substr(0, slash))) return failed;
    }
    if (::mkdir(path.c_str(), 0777) == 0) return std::nullopt;
    failure = errno;
  }
  const QString reason = QString::fromLocal8Bit(std::strerror(failure));
  return whatAndWhere(QStringLiteral("cannot create the folder: ") + reason, path);
}

// Written beside the file and renamed into its place, which must hold a
// regular file or nothing: a link is refused, never written through.
bool saveHive(const std::string& path, const QString& folder, const RegistryHive& hive, QString& error) {
  if (std::optional<QString> failed = makeFolder(QFile::encodeName(folder).toStdString())) {
    error = *failed;
    return false;
  }
  const QByteArray bytes = hive.serialize();
  try {
    // The text file adds the last line's end itself.
    const auto withoutLastLineEnd = static_cast<std::size_t>(bytes.size() - kLineEnd.size());
    ReplaceTextFile(path, std::string_view(bytes.constData(), withoutLastLineEnd));
  } catch (const FileError& failure) {
    error = describe(failure, path);
    return false;
  }
  return true;
}

}  // namespace

std::optional<RegistryHive> RegistryHive::parse(QByteArrayView bytes) {
  QStringDecoder decoder(QStringConverter::Utf8,
                         QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  RegistryHive hive;
  qsizetype current = -1;  // the key of the last section line
  for (qsizetype start = 0; start < text.size();) {
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0) end = text.size();
    QStringView line = QStringView(text).sliced(start, end - start);
    const bool first = start == 0;
    start = end + 1;
    if (line.endsWith(u'\r')) line.chop(1);
    if (first) {
      if (line != kHeader) return std::nullopt;
    } else if (isBlank(line)) {
      // blank lines carry nothing
    } else if (line.startsWith(kSectionStart) && line.endsWith(u']')) {
      current = hive.addKey(line.sliced(kSectionStart.size()).chopped(1).toString());
      if (current < 0) return std::nullopt;
    } else {
      if (current < 0) return std::nullopt;
      qsizetype pos = 0;
      QString name;
      if (line.startsWith(QLatin1String("@="))) {
        pos = 1;
      } else {
        const std::optional<QString> quoted = readQuoted(line, pos);
        if (!quoted) return std::nullopt;
        name = *quoted;
      }
      if (pos >= line.size() || line[pos] != u'=') return std::nullopt;
      ++pos;
      const std::optional<QString> data = readQuoted(line, pos);
      if (!data || pos != line.size() || !isStorable(name) || !isStorable(*data)) return std::nullopt;
      hive.setValueAt(current, name, *data);
    }
  }
  return hive;
}

QByteArray RegistryHive::serialize() const {
  QString out = kHeader;
  out += kLineEnd;
  for (const Key& key : keys_) {
    out += kLineEnd;
    out += kSectionStart;
    out += key.path;
    out += u']';
    out += kLineEnd;
    for (const Value& value : key.values) {
      if (value.name.isEmpty()) {
        out += u'@';
      } else {
        appendQuoted(out, value.name);
      }
      out += u'=';
      appendQuoted(out, value.data);
      out += kLineEnd;
    }
  }
  out += kLineEnd;
  return out.toUtf8();
}

bool RegistryHive::hasKey(const QString& keyPath) const { return findKey(keyPath) >= 0; }

std::optional<QString> RegistryHive::value(const QString& keyPath, const QString& valueName) const {
  const qsizetype key = findKey(keyPath);
  if (key < 0) return std::nullopt;
  const qsizetype index = findValue(key, valueName);
  if (index < 0) return std::nullopt;
  return keys_[key].values[index].data;
}

bool RegistryHive::setValue(const QString& keyPath, const QString& valueName, const QString& data) {
  if (!isKeyPath(keyPath) || !isStorable(valueName) || !isStorable(data)) return false;
  setValueAt(addKey(keyPath), valueName, data);
  return true;
}

bool RegistryHive::deleteValue(const QString& keyPath, const QString& valueName) {
  const qsizetype key = findKey(keyPath);
  if (key < 0) return false;
  const qsizetype index = findValue(key, valueName);
  if (index < 0) return false;
  QList<Value>& values = keys_[key].values;
  values.removeAt(index);
  QHash<QString, qsizetype>& names = valueIndex_[key];
  names.clear();
  for (qsizetype i = 0; i < values.size(); ++i) names.insert(fold(values[i].name), i);
  return true;
}

bool RegistryHive::deleteKey(const QString& keyPath) {
  const qsizetype key = findKey(keyPath);
  if (key < 0) return false;
  keys_.removeAt(key);
  valueIndex_.removeAt(key);
  keyIndex_.clear();
  for (qsizetype i = 0; i < keys_.size(); ++i) keyIndex_.insert(fold(keys_[i].path), i);
  return true;
}

qsizetype RegistryHive::findKey(const QString& keyPath) const { return keyIndex_.value(fold(keyPath), -1); }

qsizetype RegistryHive::findValue(qsizetype key, const QString& valueName) const {
  return valueIndex_[key].value(fold(valueName), -1);
}

// The index of the key, added at the end when it is new; -1 for a path that
// is not a key path.
qsizetype RegistryHive::addKey(const QString& keyPath) {
  const qsizetype existing = findKey(keyPath);
  if (existing >= 0) return existing;
  if (!isKeyPath(keyPath)) return -1;
  keys_.append(Key{keyPath, {}});
  valueIndex_.append(QHash<QString, qsizetype>());
  keyIndex_.insert(fold(keyPath), keys_.size() - 1);
  return keys_.size() - 1;
}

// A value that exists keeps its place and its name's spelling.
void RegistryHive::setValueAt(qsizetype key, const QString& valueName, const QString& data) {
  const qsizetype existing = findValue(key, valueName);
  QList<Value>& values = keys_[key].values;
  if (existing >= 0) {
    values[existing].data = data;
    return;
  }
  values.append(Value{valueName, data});
  valueIndex_[key].insert(fold(valueName), values.size() - 1);
}

QString machineHivePath() {
  const QString named = qEnvironmentVariable("PAGESIFT_HIVE");
  return named.isEmpty() ? QStringLiteral("/etc/pagesift/HKEY_LOCAL_MACHINE.reg") : named;
}

bool updateHiveFile(const QString& filePath, const std::function<bool(RegistryHive&)>& change, QString* error) {
  const std::string path = QFile::encodeName(filePath).toStdString();
  QString failure;
  std::optional<RegistryHive> hive = loadHive(path, failure);
  const bool done = hive && change(*hive) && saveHive(path, QFileInfo(filePath).absolutePath(), *hive, failure);
  if (error) *error = failure;
  return done;
}

}  // namespace pagesift
