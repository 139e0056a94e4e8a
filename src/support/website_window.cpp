// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/website_window.h"

#include <algorithm>

#include "platform/twips.h"

namespace pagesift {
namespace {

constexpr auto kWebsiteAddress = "pagesift.example.org";
constexpr double kHorizontalMargin = 150;  // twips
constexpr double kVerticalMargin = 400;

}  // namespace

PaneSize websitePaneSize(double windowWidth, double windowHeight) {
  return {static_cast<float>(std::max(0.0, windowWidth - kHorizontalMargin)),
          static_cast<float>(std::max(0.0, windowHeight - kVerticalMargin))};
}

frmWebsite::frmWebsite(const BrowserPaneFactory& makePane, std::function<QString()> readWebsiteText)
    : QWidget(nullptr),
      WebBrowser1(makePane(kWebsitePane, PaneRole::kWebsite, this)),
      readWebsiteText_(std::move(readWebsiteText)) {
  setAttribute(Qt::WA_DeleteOnClose);
  resize(twipsToPixels(4680), twipsToPixels(3195));
  WebBrowser1->widget()->move(0, 0);
}

void frmWebsite::Form_Load() {
  setWindowTitle(readWebsiteText_());
  sizePane();
  WebBrowser1->Navigate(QLatin1String(kWebsiteAddress));
}

void frmWebsite::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  sizePane();
}

void frmWebsite::paintEvent(QPaintEvent* event) {
  sizePane();
  QWidget::paintEvent(event);
}

void frmWebsite::sizePane() {
  const QSize outer = frameGeometry().size();
  const PaneSize size = websitePaneSize(outer.width() * kTwipsPerPixel, outer.height() * kTwipsPerPixel);
  WebBrowser1->widget()->resize(twipsToPixels(size.width), twipsToPixels(size.height));
}

}  // namespace pagesift
