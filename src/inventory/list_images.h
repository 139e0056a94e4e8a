// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QByteArray>
#include <QUrl>

#include "inventory/image_inventory.h"

namespace pagesift {

// `--list-images ADDRESS`: loads `address` in a page of its own (an
// off-the-record profile, a 1280 x 1024 view, the Browser view's settings,
// dialogs answered at once), waits for the load and at most 2 s more for
// images still loading, and prints the page's image inventory (the
// engine's image requests included) to standard output as JSON Lines, one
// object per row in inventory order, every key in every row:
//   {"address", "kinds": [...], "uses", "origins": [...], "width", "height",
//    "displayWidth", "displayHeight", "alt", "loaded", "bytes"}
// with null for what is unknown: width and height are the natural size,
// loaded "yes" or "no", bytes a data: row's decoded size (its "address" is
// "data:<media type>").
// Returns 0, with "the list was cut short (complete: false): <why>" on
// standard error when a limit cut it short or the page had not settled
// after 25 s (what it had then is listed); or 1, with the reason on standard error, when the page cannot
// be loaded, answers with an error status, asks for a login or a
// certificate decision, is a download, its images cannot be read, or all
// this takes over 30 s with nothing collected ("timed out"). Needs a
// QApplication; runs its own event loop until done.
int listImages(const QUrl& address);

// One row of the listing, as QJsonDocument writes the object compact (its
// keys sorted), with the newline.
QByteArray listingLine(const InventoryRow& row);

}  // namespace pagesift
