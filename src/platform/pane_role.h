// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

namespace pagesift {

// What a pane is for, which decides its settings.
enum class PaneRole {
  kBrowsing,       // ordinary browsing: the Browser pane
  kWebsite,        // the website window: browses as the Browser pane does
  kGeneratedView,  // the Source Code and Images panes: pages made from untrusted input
  kPreview,        // the Every Image window's preview: a page's images, script off as in a generated view
  kPageSource,     // the Page Source window: the page as served (view-source:), script off
};

// The role whose settings and address rules a pane of `role` follows.
constexpr PaneRole settingsRole(PaneRole role) {
  return role == PaneRole::kWebsite   ? PaneRole::kBrowsing
         : role == PaneRole::kPreview ? PaneRole::kGeneratedView
                                      : role;
}

}  // namespace pagesift
