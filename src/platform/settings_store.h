// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QLatin1String>
#include <QString>

namespace pagesift {

// The per-user settings of one application: the INI file named after it in
// the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config),
// e.g. ~/.config/PageSift.ini. Every call opens the file anew, so a value
// written is on disk when write() returns.
class SettingsStore {
 public:
  explicit SettingsStore(const QString& applicationName);

  const QString& filePath() const { return filePath_; }

  // The stored text, or `defaultValue` when the key is absent. A value that
  // is not a plain text (a list such as "a,b") reads as an empty text.
  QString read(const QString& section, const QString& key, const QString& defaultValue) const;

  // False when the file cannot be written; nothing is changed then.
  bool write(const QString& section, const QString& key, const QString& value);

 private:
  QString filePath_;
};

// The one setting the program keeps: whether the help window opens at start,
// "1" or "0", "1" when absent.
inline constexpr QLatin1String kSettingsSection("Settings");
inline constexpr QLatin1String kShowHelpKey("showHelp");
inline constexpr QLatin1String kShowHelpDefault("1");

// The largest image Save All and Save Image As keep, in MiB ("[Settings]
// maxImageSizeMiB"): a whole number from 1 to 1048576; 256 when absent or
// anything else.
inline constexpr QLatin1String kMaxImageSizeKey("maxImageSizeMiB");
inline constexpr int kMaxImageSizeDefault = 256;
int readMaxImageSizeMiB(const SettingsStore& store);

}  // namespace pagesift
