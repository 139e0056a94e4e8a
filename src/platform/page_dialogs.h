// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

namespace pagesift {

// The text of the check box that silences a page's messages, in the message
// bar and in the confirm and prompt dialogs alike.
inline constexpr char kSilencePageText[] = "Don't show more messages from this page";

// A page's message is page text: at most this many characters of it are
// shown (a page can pass megabytes to alert()).
inline constexpr qsizetype kPageMessageLimit = 1000;

// `message` cut to kPageMessageLimit characters, "..." marking a cut.
QString limitPageMessage(const QString& message);

// The name a message is shown under: the host of the page that sent it, or
// its scheme when it has none (a local file).
QString pageMessageSource(const QUrl& origin);

// Whether a page's alerts, confirms and prompts still reach the user. Once
// the user ticks kSilencePageText, none do (confirm and prompt answer Cancel
// at once) until the pane loads another address: one the user asks for, or
// a page of another site. A page that goes on to another address of its own
// site stays silenced, so a page that loops on dialogs can always be stopped,
// even one that reloads itself between them.
class PageDialogGate {
 public:
  // The user ticked the box while `page` was shown.
  void silence(const QUrl& page);

  // The user asks the pane for a document (an address, Back, Forward, Home,
  // Refresh).
  void lift() { silencedSite_.reset(); }

  // The main frame starts loading `address`, whoever asked.
  void mainFrameLoading(const QUrl& address);

  bool silenced() const { return silencedSite_.has_value(); }

 private:
  std::optional<QString> silencedSite_;
};

// A page's confirm() or prompt() as a modal dialog over `parent`: the
// message as plain text, an input line for a prompt (`promptValue` set), the
// silence check box, OK and Cancel. Returns the input (empty for a confirm)
// on OK, nothing on Cancel; `silence` tells whether the box was ticked.
std::optional<QString> askForPage(QWidget* parent, const QString& source, const QString& message,
                                  const std::optional<QString>& promptValue, bool* silence);

}  // namespace pagesift
