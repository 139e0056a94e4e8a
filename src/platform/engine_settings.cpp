// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/engine_settings.h"

#include <QString>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "platform/program_folder.h"

namespace pagesift {

QWebEngineProfile* createEngineProfile(const QString& storageName, QObject* parent) {
  auto* profile = storageName.isEmpty() ? new QWebEngineProfile(parent) : new QWebEngineProfile(storageName, parent);
  if (!storageName.isEmpty() && userDataFolderIsPrivate() && !userDataFolder().isEmpty()) {
    // No home folder to keep the engine's data in: the run's private folder.
    const QString folder = userDataFolder() + QStringLiteral("/QtWebEngine/") + storageName;
    profile->setPersistentStoragePath(folder);
    profile->setCachePath(folder + QStringLiteral("/cache"));
  }
  applyEngineSettings(profile->settings(), PaneRole::kBrowsing);
  return profile;
}

void applyEngineSettings(QWebEngineSettings* settings, PaneRole role) {
  using S = QWebEngineSettings;
  const bool browsing = settingsRole(role) == PaneRole::kBrowsing;
  settings->setDefaultTextEncoding(QStringLiteral("UTF-8"));
  settings->setAttribute(S::JavascriptEnabled, browsing);
  settings->setAttribute(S::JavascriptCanOpenWindows, browsing);
  settings->setAttribute(S::LocalStorageEnabled, browsing);
  settings->setAttribute(S::NavigateOnDropEnabled, browsing);
  // Local pages show their own neighbouring images in every pane.
  settings->setAttribute(S::LocalContentCanAccessFileUrls, true);
  // A local page that runs script must not send local files anywhere; the
  // generated views run none and show remote and local images side by side.
  settings->setAttribute(S::LocalContentCanAccessRemoteUrls, !browsing);
}

}  // namespace pagesift
