// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QString>
#include <QUrl>

#include "platform/engine_settings.h"

namespace pagesift {

// The longest address, in its encoded form, the program opens. The system
// allows 128 KiB per command line argument; encoding may triple that.
inline constexpr qsizetype kMaxOutsideAddressBytes = 512 * 1024;

// Whether a local file's kind is looked at now (at navigation time) or left
// to the pane that will load the address (the command line and the
// hand-over: the pane refuses it there, in the window, with a message).
enum class LocalFileCheck { kNow, kAtNavigation };

// The one decision on whether an address may be opened, for the command
// line, the hand-over and every main-frame navigation of a pane. Returns why
// not, as a phrase ("an internal page of the web engine"), or an empty
// string when it may. Refused:
// - an address that is not valid and absolute, or longer than
//   kMaxOutsideAddressBytes encoded;
// - javascript: (it would run in whatever page is on show);
// - the engine's internal pages, some of which crash or exhaust it by just
//   being opened: chrome:, chrome-error:, devtools:, about: other than
//   about:blank, and view-source: except in a pane of role kPageSource
//   (whose inner address is decided the same way);
// - a file: address whose file is a named pipe, socket or device: the
//   engine's file reader would wait on it for ever. A folder, a missing file
//   and a regular one are left to the engine.
QString addressRefusal(const QUrl& address, PaneRole role, LocalFileCheck files = LocalFileCheck::kNow);

// What an address typed or given as text opens in a pane of `role`: the
// address box's reading of it (QUrl::fromUserInput, relative names against
// `folder`), except that a text naming a scheme that is not a valid address
// ("http://[bad") is refused instead of becoming another address
// ("http://http//[bad"). `refusal` is empty when `url` may be loaded.
struct AddressDecision {
  QUrl url;
  QString refusal;
};
AddressDecision decideTypedAddress(const QString& text, const QString& folder, PaneRole role,
                                   LocalFileCheck files = LocalFileCheck::kNow);

// The message a refused address shows: "PageSift does not open <address>:
// <why>", the address cut to a readable length.
QString refusalMessage(const QString& address, const QString& refusal);

}  // namespace pagesift
