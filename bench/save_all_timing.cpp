// Times Save All Images on one page: loads ADDRESS in a browsing pane,
// collects its inventory and saves every image into a new temporary folder,
// RUNS times (default 3), each into a folder of its own.
//
//   QT_QPA_PLATFORM=offscreen save_all_timing ADDRESS [RUNS]
//
// Prints each run's time, images per second and megabytes per second, and
// the median run.

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/start_up.h"
#include "inventory/image_saver.h"
#include "inventory/inventory_collector.h"
#include "platform/engine_settings.h"
#include "platform/web_engine_pane.h"

namespace {

using pagesift::ImageInventory;

qint64 folderBytes(const QString& folder) {
  qint64 bytes = 0;
  for (QDirIterator it(folder, QDir::Files); it.hasNext();) bytes += QFileInfo(it.next()).size();
  return bytes;
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
  const int runs = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 3;
  QWidget window;
  pagesift::WebEnginePane pane(pagesift::kBrowserPane, pagesift::PaneRole::kBrowsing,
                               {pagesift::createEngineProfile(QString(), &app), QString(), QUrl()}, &window);
  QEventLoop loop;
  std::optional<ImageInventory> inventory;
  QObject::connect(&pane, &pagesift::BrowserPane::DownloadComplete, &loop, [&] {
    pagesift::collectImageInventory(pane, [&](std::optional<ImageInventory> collected) {
      inventory = std::move(collected);
      loop.quit();
    });
  });
  QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
  pane.Navigate(arguments[1]);
  loop.exec();
  if (!inventory) {
    std::fputs("save_all_timing: the page gave no inventory\n", stderr);
    return 1;
  }

  std::vector<double> seconds;
  for (int run = 0; run < runs; ++run) {
    QTemporaryDir folder;
    pagesift::ImageSaver saver(&pane, *inventory, folder.path(), nullptr);
    QObject::connect(&saver, &pagesift::ImageSaver::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    saver.start();
    loop.exec();
    seconds.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    const double megabytes = static_cast<double>(folderBytes(folder.path())) / 1e6;
    std::printf("run %d: %d images, %d saved, %lld failed, %.1f MB in %.2f s: %.1f images/s, %.1f MB/s\n", run + 1,
                saver.total(), static_cast<int>(saver.saved().size()), static_cast<long long>(saver.failures().size()),
                megabytes, seconds.back(), saver.total() / seconds.back(), megabytes / seconds.back());
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("median %.2f s over %d runs\n", seconds[seconds.size() / 2], runs);
  return 0;
}
