// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Times the image inventory against the page load, page by page: how long
// the Browser view's page takes to load, and how long collecting its
// inventory takes after that (the script in the page, then merging).
//
//   QT_QPA_PLATFORM=offscreen inventory_timing ADDRESS...
//
// Prints one line per page and the medians and worst cases.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/start_up.h"
#include "figures.h"
#include "inventory/inventory_collector.h"
#include "platform/headless_page.h"

namespace {

using pagesift::bench::median;

struct Timing {
  double loadMs = 0;
  double collectMs = 0;
  qsizetype rows = 0;
  bool ok = false;
};

Timing timePage(const QUrl& address) {
  Timing timing;
  QEventLoop loop;
  pagesift::HeadlessPage page(QSize(1280, 1024));
  QElapsedTimer clock;
  QObject::connect(&page, &pagesift::HeadlessPage::failed, &loop, [&loop] { loop.quit(); });
  QObject::connect(&page, &pagesift::HeadlessPage::loaded, &loop, [&] {
    timing.loadMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    page.runIsolatedScript(pagesift::imageInventoryScript(), [&](const QVariant& result) {
      const pagesift::CollectedImages collected = pagesift::inventoryFromScriptResult(result);
      timing.collectMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
      timing.rows = collected.rows.size();
      timing.ok = collected.failure.isEmpty();
      loop.quit();
    });
  });
  QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
  clock.start();
  page.load(address);
  loop.exec();
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  pagesift::prepareEngineEnvironment();
  QApplication app(argc, argv);
  std::vector<double> loads;
  std::vector<double> collects;
  std::vector<double> ratios;
  for (const QString& argument : app.arguments().mid(1)) {
    const Timing timing = timePage(QUrl(argument));
    std::printf("%-70s %s load %8.1f ms  collect %7.1f ms  rows %5lld\n", argument.toLocal8Bit().constData(),
                timing.ok ? "ok    " : "failed", timing.loadMs, timing.collectMs, static_cast<long long>(timing.rows));
    if (!timing.ok) continue;
    loads.push_back(timing.loadMs);
    collects.push_back(timing.collectMs);
    ratios.push_back(timing.collectMs / std::max(timing.loadMs, 1.0));
  }
  if (collects.empty()) return 1;
  std::printf(
      "pages %zu  load median %.1f ms worst %.1f ms  collect median %.1f ms worst %.1f ms  "
      "collect/load median %.2f worst %.2f\n",
      collects.size(), median(loads), *std::max_element(loads.begin(), loads.end()), median(collects),
      *std::max_element(collects.begin(), collects.end()), median(ratios),
      *std::max_element(ratios.begin(), ratios.end()));
  return 0;
}
