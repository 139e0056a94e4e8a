#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace pagesift {

// Whether an image has loaded: known only for an <img> whose current source
// the address is.
enum class ImageLoaded { kUnknown, kYes, kNo };

// One row of a page's image inventory: every use of one address, merged.
struct InventoryRow {
  QString address;      // absolute; a data: address is kept whole but never shown or printed whole
  QStringList kinds;    // each kind once, in order of first use: img srcset picture lazy input svg
                        // poster css icon preload meta link frame
  QString origin;       // the first use's tag and attribute, e.g. "img srcset"
  int uses = 0;         // how many uses were merged into this row
  int naturalWidth = 0;  // the largest natural size seen; 0 x 0 when the engine has none
  int naturalHeight = 0;
  int displayWidth = 0;  // the first displayed size its uses report; 0 x 0 when none is displayed
  int displayHeight = 0;
  QString alt;          // the first use's alt or title text
  ImageLoaded loaded = ImageLoaded::kUnknown;

  bool isInline() const { return address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive); }
};

// In order of first appearance in the document.
using ImageInventory = QList<InventoryRow>;

}  // namespace pagesift
