// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

class QObject;
class QWebEngineProfile;
class QWebEngineSettings;
class QString;

#include "platform/pane_role.h"

namespace pagesift {

// The one profile every pane shares. An empty storage name makes an
// off-the-record profile (nothing kept on disk).
QWebEngineProfile* createEngineProfile(const QString& storageName, QObject* parent);

// Every engine setting the program decides, for one pane of the given role.
void applyEngineSettings(QWebEngineSettings* settings, PaneRole role);

}  // namespace pagesift
