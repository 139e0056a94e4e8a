// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace pagesift {

// The kinds of use, in the order the window offers them. The collecting
// script is handed all but kRequestKind, the only list of them there is.
inline constexpr QLatin1String kImageKinds[] = {
    QLatin1String("img"),   QLatin1String("srcset"),  QLatin1String("picture"), QLatin1String("lazy"),
    QLatin1String("input"), QLatin1String("svg"),     QLatin1String("poster"),  QLatin1String("css"),
    QLatin1String("icon"),  QLatin1String("preload"), QLatin1String("meta"),    QLatin1String("link"),
    QLatin1String("frame"), QLatin1String("request")};

// The kind of a row that only the engine's requests know of: an address the
// page's document does not name (an SVG sprite, a pixel made by script, the
// favicon the engine asks for by itself).
inline constexpr QLatin1String kRequestKind("request");

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
//
// Each fact comes from the first of the row's uses, in document order, that
// reports it: a use that reports nothing of a fact (an og:image, a preload)
// leaves it to the uses after it.
struct InventoryRow {
  QString address;       // absolute; a data: address is kept whole but never shown or printed whole
  QStringList kinds;     // each kind once, in order of first use: img srcset picture lazy input svg
                         // poster css icon preload meta link frame request
  QStringList origins;   // each tag and attribute once, in order of first use, e.g. "img srcset";
                         // at most kMaxOrigins
  int uses = 0;          // how many uses were merged into this row
  int naturalWidth = 0;  // the first natural size reported; 0 x 0 when none is
  int naturalHeight = 0;
  int displayWidth = 0;  // the first displayed size reported; 0 x 0 when none is
  int displayHeight = 0;
  QString alt;                                 // the first alt or title text reported (empty counts as none)
  ImageLoaded loaded = ImageLoaded::kUnknown;  // the first "yes" or "no" reported

  static constexpr int kMaxOrigins = 16;

  bool isInline() const { return address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive); }
};

// In order of first appearance in the document, then the rows of kind
// "request" in the order the engine asked for them.
using ImageInventory = QList<InventoryRow>;

// What collecting a page's images gave.
struct CollectedImages {
  ImageInventory rows;
  QString cutShort;  // why a limit cut the list short ("more than 100,000 uses"); empty when it is whole
  QString failure;   // why the page's images could not be read at all; empty when they were
};

}  // namespace pagesift
