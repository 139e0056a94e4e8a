#pragma once

#include <QUrl>

namespace pagesift {

// `--list-images ADDRESS`: loads `address` in a page of its own (an
// off-the-record profile, a 1280 x 1024 view, the Browser view's settings,
// dialogs answered at once), waits for the load and at most 2 s more for
// images still loading, and prints the page's image inventory to standard
// output as JSON Lines, one object per row in inventory order:
//   {"address", "kinds": [...], "uses", "width", "height", "alt", "loaded"}
// with the natural size or null, loaded "yes", "no" or "unknown"; a data:
// row has "address" "data:<media type>" and "bytes", its decoded size.
// Returns 0; or 1, with the reason on standard error, when the page cannot
// be loaded, answers with an error status, asks for a login or a
// certificate decision, is a download, or all this takes over 30 s
// ("timed out"). Needs a QApplication; runs its own event loop until done.
int listImages(const QUrl& address);

}  // namespace pagesift
