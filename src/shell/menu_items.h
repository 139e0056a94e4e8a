// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

namespace pagesift {

// The items of the main window's File, Go, View, Tools, Page and Help menus
// by their index in the menu: the menu builder makes each item at its
// index, and the dispatch tells the items apart by it.
enum FileMenuItem : int { kFileExit };
enum GoMenuItem : int { kGoBack, kGoForward, kGoStop, kGoRefresh, kGoBackDirectory, kGoSendPage };
enum ViewMenuItem : int { kViewBrowser, kViewSourceCode, kViewImages, kViewWebsite };
enum ToolsMenuItem : int { kToolsAdd, kToolsRemove };
// The Page menu's first three items; its other commands have handlers of
// their own.
enum PageMenuItem : int { kPageEveryImage, kPageCopyImageAddresses, kPageSaveAllImages, kPageItemCount };
enum HelpMenuItem : int { kHelpView };

}  // namespace pagesift
