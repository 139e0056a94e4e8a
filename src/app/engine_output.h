// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QStringList>

namespace pagesift {

// Keeps standard error for the program's own messages. The engine's
// start-up report comes through Qt's logging (the categories "default" and
// "qt.webenginecontext", seen on Qt WebEngine 6.4) and is filtered out by
// logging rules; the pages' console messages (category "js") pass only with
// `pageConsole` (--verbose). A user's own QT_LOGGING_RULES still wins.
// Chromium's own log lines come from its browser, GPU and render processes
// past Qt's logging: they are cut to fatal ones with the engine's
// --log-level=3, unless the user's QTWEBENGINE_CHROMIUM_FLAGS or engine
// arguments (after --webEngineArgs) choose a log level themselves.
// Call before the QApplication exists.
void limitEngineOutput(bool pageConsole, const QStringList& engineArguments);

}  // namespace pagesift
