// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Start-up as a user sees it, beside a plain one-view program: each start is
// a process of its own, timed from the moment the process was made (so the
// loading of the program and its libraries counts).
//
//   startup_bench [PAIRS]           PAIRS interleaved starts of each (default 5)
//   startup_bench --pagesift        one start of PageSift, as it starts for a user
//   startup_bench --plain           one start of a plain QWebEngineView on the home page
//   startup_bench --idle-memory S   one start of PageSift, then its memory after S idle seconds
//
// PageSift's figures: main() entered, the application object made, the splash
// first painted, the main window made and shown, first painted, and the home
// page loaded in the Browser view, analysed, and with both generated views
// loaded. The plain program's: its
// page loaded. With PAIRS, the starts run one after another, the order
// swapped every pair, after one start of each that is not counted; then the
// medians, the start-up less the splash's 2 s, and its ratio to the plain
// program's first load. The starts share a settings and engine data folder
// of their own (the first start makes it), so the user's are not touched.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "app/start_up.h"
#include "figures.h"
#include "platform/program_folder.h"
#include "process_tree.h"
#include "shell/main_window.h"

namespace {

using pagesift::bench::loadAverage;
using pagesift::bench::median;

// The splash's four ticks.
constexpr double kSplashMilliseconds = 2000;

// Milliseconds between the start of this process and now.
double millisecondsSinceProcessStart() {
  QFile stat(QStringLiteral("/proc/self/stat"));
  QFile uptime(QStringLiteral("/proc/uptime"));
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return 0;
  const QByteArray statText = stat.readAll();
  const QList<QByteArray> fields = statText.mid(statText.lastIndexOf(')') + 2).split(' ');
  const double startTicks = fields.value(19).toDouble();  // field 22 of the whole line
  const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
  return (upSeconds - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

void report(const char* figure) {
  std::printf("%s: %.0f ms\n", figure, millisecondsSinceProcessStart());
  std::fflush(stdout);
}

// Calls `painted` at the first paint of a widget of a window that `wanted` picks.
class FirstPaint : public QObject {
 public:
  FirstPaint(std::function<bool(const QWidget* window)> wanted, std::function<void()> painted)
      : wanted_(std::move(wanted)), painted_(std::move(painted)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && painted_ && watched->isWidgetType() &&
        wanted_(static_cast<QWidget*>(watched)->window())) {
      std::exchange(painted_, nullptr)();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(const QWidget*)> wanted_;
  std::function<void()> painted_;
};

// One start of PageSift, as main() starts it.
int startPageSift(int argc, char** argv, double idleSeconds) {
  report("main entered");
  pagesift::prepareEngineEnvironment();
  QApplication app(argc, argv);
  report("application made");
  FirstPaint splashPaint([](const QWidget* window) { return window->windowType() == Qt::SplashScreen; },
                         [] { report("splash painted"); });
  app.installEventFilter(&splashPaint);
  std::unique_ptr<FirstPaint> windowPaint;
  int viewsLoaded = 0;
  bool analysed = false;
  pagesift::StartUp startUp(app, [&](pagesift::Form1* form) {
    report("main window made");
    windowPaint = std::make_unique<FirstPaint>([form](const QWidget* window) { return window == form; },
                                               [] { report("main window painted"); });
    app.installEventFilter(windowPaint.get());
    QObject::connect(form->ui().wb[pagesift::kBrowserPane], &pagesift::BrowserPane::DownloadComplete, form,
                     [reported = false]() mutable {
                       if (!std::exchange(reported, true)) report("Browser view loaded");
                     });
    QObject::connect(form, &pagesift::Form1::pageProcessed, form, [&analysed] {
      if (!std::exchange(analysed, true)) report("home page analysed");
    });
    for (const int index : {pagesift::kSourcePane, pagesift::kImagesPane}) {
      QObject::connect(form->ui().wb[index], &pagesift::BrowserPane::DownloadComplete, form, [&] {
        if (!analysed || ++viewsLoaded != 2) return;
        report("home page analysed and both views loaded");
        QTimer::singleShot(static_cast<int>(idleSeconds * 1000), &app, [&app, idleSeconds] {
          if (idleSeconds > 0) {
            const auto [rss, pss] = pagesift::bench::treeMemoryMiB();
            std::printf("idle memory, program and engine processes: RSS %.0f MiB, PSS %.0f MiB\n", rss, pss);
          }
          app.quit();
        });
      });
    }
  });
  return app.exec();
}

// One start of a plain one-view program on the same home page.
int startPlain(int argc, char** argv) {
  report("main entered");
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  report("application made");
  QWebEngineView view;
  view.resize(800, 600);
  QObject::connect(&view, &QWebEngineView::loadFinished, &app, [&app] {
    report("first page loaded");
    app.quit();
  });
  view.load(pagesift::homePageUrl(pagesift::programFolderPath()));
  view.show();
  return app.exec();
}

// Runs this program with `mode`: its figures by name, empty when it failed.
std::map<QString, double> runStart(const QString& mode, const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(QCoreApplication::applicationFilePath(), {mode});
  if (!process.waitForFinished(120'000) || process.exitCode() != 0) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  std::map<QString, double> figures;
  for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
    const qsizetype colon = line.lastIndexOf(':');
    if (colon > 0 && line.endsWith(" ms")) {
      figures[QString::fromUtf8(line.left(colon))] = line.mid(colon + 1).chopped(3).trimmed().toDouble();
    }
  }
  return figures;
}

int comparePairs(int pairs) {
  QTemporaryDir home;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
  std::printf("startup_bench: %d interleaved pairs; load average %s\n", pairs, loadAverage().constData());
  const QStringList pageSiftFigures = {
      QStringLiteral("main entered"),        QStringLiteral("application made"),
      QStringLiteral("splash painted"),      QStringLiteral("main window made"),
      QStringLiteral("main window painted"), QStringLiteral("Browser view loaded"),
      QStringLiteral("home page analysed"),  QStringLiteral("home page analysed and both views loaded")};
  const QString plainFigure = QStringLiteral("first page loaded");
  std::map<QString, std::vector<double>> ours;
  std::vector<double> theirs;
  for (int pair = -1; pair < pairs; ++pair) {  // pair -1: not counted
    std::map<QString, double> pageSift, plain;
    const bool pageSiftFirst = pair % 2 == 0;
    if (pageSiftFirst) pageSift = runStart(QStringLiteral("--pagesift"), environment);
    plain = runStart(QStringLiteral("--plain"), environment);
    if (!pageSiftFirst) pageSift = runStart(QStringLiteral("--pagesift"), environment);
    if (pageSift.size() < static_cast<size_t>(pageSiftFigures.size()) || !plain.count(plainFigure)) {
      std::fputs("startup_bench: a start failed or gave no figures\n", stderr);
      return 1;
    }
    if (pair < 0) continue;
    for (const QString& figure : pageSiftFigures) ours[figure].push_back(pageSift[figure]);
    theirs.push_back(plain[plainFigure]);
    std::printf("pair %d: PageSift splash %.0f ms, main window %.0f ms, analysed %.0f ms; plain view loaded %.0f ms\n",
                pair + 1, pageSift[QStringLiteral("splash painted")], pageSift[QStringLiteral("main window made")],
                pageSift[pageSiftFigures.back()], plain[plainFigure]);
    std::fflush(stdout);
  }
  std::printf("\nmedians of %d pairs, from process start; load average %s\n", pairs, loadAverage().constData());
  for (const QString& figure : pageSiftFigures) {
    std::printf("  PageSift %-42s %6.0f ms\n", qPrintable(figure), median(ours[figure]));
  }
  std::vector<double> lessSplash = ours[pageSiftFigures.back()];
  for (double& value : lessSplash) value -= kSplashMilliseconds;
  const double pageSift = median(lessSplash);
  const double plain = median(theirs);
  std::printf("  plain view first page loaded                       %6.0f ms\n", plain);
  std::printf(
      "launch to splash on screen %.0f ms (target <= 600); analysed home less the splash's 2 s %.0f ms, "
      "plain view %.0f ms, ratio %.2f (target <= 1.2)\n",
      median(ours[QStringLiteral("splash painted")]), pageSift, plain, plain > 0 ? pageSift / plain : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (mode == QLatin1String("--pagesift")) return startPageSift(argc, argv, 0);
  if (mode == QLatin1String("--plain")) return startPlain(argc, argv);
  if (mode == QLatin1String("--idle-memory") && argc > 2) return startPageSift(argc, argv, std::atof(argv[2]));
  const int pairs = mode.isEmpty() ? 5 : mode.toInt();
  if (pairs < 1) {
    std::fputs("usage: startup_bench [PAIRS] | --pagesift | --plain | --idle-memory SECONDS\n", stderr);
    return 2;
  }
  QCoreApplication app(argc, argv);
  return comparePairs(pairs);
}
