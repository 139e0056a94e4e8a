// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Times Save All Images on one page against a plain fetch of the same
// files: loads ADDRESS in a browsing pane, collects its inventory, then RUNS
// times (default 5), interleaved, saves every image into a new temporary
// folder, and fetches the same addresses with curl, 4 at a time, into
// another.
//
//   QT_QPA_PLATFORM=offscreen save_all_timing ADDRESS [RUNS]
//
// Prints each run's times, how many images came from the engine (the page's
// archive) and how many were downloaded, the medians and their ratio.

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/start_up.h"
#include "figures.h"
#include "inventory/image_saver.h"
#include "inventory/inventory_collector.h"
#include "platform/engine_settings.h"
#include "platform/web_engine_pane.h"

namespace {

using pagesift::bench::median;

qint64 folderBytes(const QString& folder) {
  qint64 bytes = 0;
  for (QDirIterator it(folder, QDir::Files); it.hasNext();) bytes += QFileInfo(it.next()).size();
  return bytes;
}

// curl, 4 transfers at a time, of every http and https address: seconds.
double curlFetch(const QStringList& addresses, const QString& folder) {
  QFile config(folder + QStringLiteral("/curl.conf"));
  if (!config.open(QIODevice::WriteOnly)) return -1;
  for (qsizetype i = 0; i < addresses.size(); ++i) {
    config.write(QStringLiteral("url = \"%1\"\noutput = \"%2/%3\"\n").arg(addresses[i], folder).arg(i).toUtf8());
  }
  config.close();
  QElapsedTimer clock;
  clock.start();
  const int status =
      QProcess::execute(QStringLiteral("curl"),
                        {QStringLiteral("--silent"), QStringLiteral("--parallel"), QStringLiteral("--parallel-max"),
                         QStringLiteral("4"), QStringLiteral("--config"), config.fileName()});
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  return status == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
  pagesift::prepareEngineEnvironment();
  QApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  if (arguments.size() < 2) {
    std::fputs("usage: save_all_timing ADDRESS [RUNS]\n", stderr);
    return 2;
  }
  const int runs = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 5;
  QWidget window;
  window.resize(1280, 1024);
  pagesift::WebEnginePane pane(pagesift::kBrowserPane, pagesift::PaneRole::kBrowsing,
                               {pagesift::createEngineProfile(QString(), &app), QString(), QUrl()}, &window);
  pane.widget()->resize(window.size());
  window.show();
  QEventLoop loop;
  pagesift::CollectedImages collected;
  QObject::connect(&pane, &pagesift::BrowserPane::DownloadComplete, &loop, [&] {
    pagesift::collectImageInventory(pane, [&](pagesift::CollectedImages images) {
      collected = std::move(images);
      loop.quit();
    });
  });
  QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
  pane.Navigate(arguments[1]);
  loop.exec();
  if (collected.rows.isEmpty()) {
    std::fputs("save_all_timing: the page gave no inventory\n", stderr);
    return 1;
  }
  QStringList addresses;
  for (const pagesift::InventoryRow& row : collected.rows) {
    if (row.address.startsWith(QLatin1String("http"))) addresses.append(row.address);
  }

  std::vector<double> saveSeconds;
  std::vector<double> curlSeconds;
  for (int run = 0; run < runs; ++run) {
    QTemporaryDir folder;
    pagesift::ImageSaver saver(&pane, collected.rows, folder.path(), pagesift::SaveLimits(), nullptr);
    QObject::connect(&saver, &pagesift::ImageSaver::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    saver.start();
    loop.exec();
    saveSeconds.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    const double megabytes = static_cast<double>(folderBytes(folder.path())) / 1e6;

    QTemporaryDir curlFolder;
    curlSeconds.push_back(curlFetch(addresses, curlFolder.path()));
    std::printf(
        "run %d: %d images, %d saved (%d from the engine), %lld failed, %.1f MB in %.3f s; curl %lld files in %.3f s\n",
        run + 1, saver.total(), static_cast<int>(saver.saved().size()), saver.fromEngine(),
        static_cast<long long>(saver.failures().size()), megabytes, saveSeconds.back(),
        static_cast<long long>(addresses.size()), curlSeconds.back());
  }
  const double save = median(saveSeconds);
  const double curl = median(curlSeconds);
  std::printf("median over %d runs: Save All %.3f s, curl 4 in parallel %.3f s, ratio %.2f\n", runs, save, curl,
              curl > 0 ? save / curl : 0.0);
  return 0;
}
