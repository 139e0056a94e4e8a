#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace pagesift {

// The kinds of use, in the order the window offers them.
inline constexpr QLatin1String kImageKinds[] = {
    QLatin1String("img"),  QLatin1String("srcset"),  QLatin1String("picture"), QLatin1String("lazy"),
    QLatin1String("input"), QLatin1String("svg"),    QLatin1String("poster"),  QLatin1String("css"),
    QLatin1String("icon"), QLatin1String("preload"), QLatin1String("meta"),    QLatin1String("link"),
    QLatin1String("frame")};

inline bool isImageKind(const QString& kind) {
  for (const QLatin1String known : kImageKinds) {
    if (kind == known) return true;
  }
  return false;
}

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
