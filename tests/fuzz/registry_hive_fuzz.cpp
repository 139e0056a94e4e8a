// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The hive file reader on arbitrary bytes, and the hive's operations on what
// it reads. Whatever parses must serialise to bytes that parse back to the
// same hive, serialising is idempotent, and every operation either does what
// it says or leaves the hive untouched.

#include <algorithm>
#include <cstdint>

#include "fuzz_check.h"
#include "platform/registry_hive.h"

namespace {

using pagesift::RegistryHive;
using pagesift::fuzz::require;

// Round trip and lookup of every key and value the hive holds.
void checkHive(const RegistryHive& hive) {
  const QByteArray bytes = hive.serialize();
  const std::optional<RegistryHive> again = RegistryHive::parse(bytes);
  require(again.has_value(), "serialised hive does not parse");
  require(*again == hive, "serialised hive parses to another hive");
  require(again->serialize() == bytes, "serialising is not idempotent");
  for (const RegistryHive::Key& key : hive.keys()) {
    require(hive.hasKey(key.path), "key not found");
    for (const RegistryHive::Value& value : key.values) {
      require(hive.value(key.path, value.name) == value.data, "value not found");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView input(data, static_cast<qsizetype>(size));
  std::optional<RegistryHive> parsed = RegistryHive::parse(input);
  if (!parsed) return 0;
  RegistryHive hive = *parsed;
  checkHive(hive);

  // A few operations chosen by the input's bytes, on keys and values the hive
  // holds (in another letter case) or on new ones, with text from the input.
  for (std::size_t i = 0; i < 4 && i < size; ++i) {
    const std::uint8_t op = data[i];
    const qsizetype keyCount = hive.keys().size();
    QString path = QStringLiteral("K\\") + QString::number(op % 7);
    QString name = QString::number(op % 5);
    if (keyCount > 0 && (op & 0x10)) {
      const RegistryHive::Key& key = hive.keys()[op % keyCount];
      path = (op & 0x20) ? key.path.toLower() : key.path;
      if (!key.values.isEmpty()) name = key.values[(op / 3) % key.values.size()].name.toUpper();
    }
    const QString text = QString::fromUtf8(input.sliced(i, std::min<qsizetype>(op % 9, input.size() - i)));
    const RegistryHive before = hive;
    bool done = false;
    switch (op % 3) {
      case 0:
        done = hive.setValue(path, name, text);
        if (done) {
          require(hive.value(path, name) == text, "value set is not there");
          require(hive.keys().size() - keyCount <= 1, "set added more than one key");
        }
        break;
      case 1:
        done = hive.deleteValue(path, name);
        if (done) require(!hive.value(path, name).has_value(), "deleted value still there");
        break;
      default:
        done = hive.deleteKey(path);
        if (done) require(!hive.hasKey(path) && hive.keys().size() == keyCount - 1, "deleted key still there");
        break;
    }
    if (!done) require(hive == before, "failed operation changed the hive");
    checkHive(hive);
  }
  return 0;
}
