// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// From an address to what the user sees, in PageSift and in a plain
// one-view program on the same pages: PageSift as the user drives it (the
// address typed into the address box and Go clicked, after the usual start
// with its splash), timed until all three views have loaded (the Browser
// view, its analysis, the Source Code and Images views); beside it a plain
// QWebEngineView of this program's own, with the engine's default profile,
// timed until its page has loaded. Interleaved pairs, the order swapped
// every round, every page at addresses of its own so that no run finds
// another's in a cache.
//
//   pipeline_bench [RUNS] [--page NAME]... [--url ADDRESS]... [--unreachable HOST] [--cpu SECONDS]
//
// The pages, served from 127.0.0.1 by a thread of this program:
//   typical      200 KB, 60 image tags, 20 links to image files
//   large        2 MB, 1,000 image tags, 200 links
//   local        200 images of 99 KB each
//   unreachable  40 images on HOST, which cannot be reached (default
//                pictures.example.invalid: a name that never resolves)
// --url adds a page of your own (say, a saved page served by a local HTTP
// server); it is loaded at the same address every time.
//
// After each of PageSift's runs, the two files it has just generated are
// loaded again, side by side, in two bare views of its own profile: what
// the engine alone needs for the generated views once the page is in its
// cache. The plain view's load and then that is the least any program can
// take that shows the generated views after the page has loaded ("least").
//
// Prints every run, then per page the medians and their ratio. RUNS
// defaults to 5. --cpu adds the CPU time the program and its engine
// processes take in SECONDS: idle on the typical page, and with a page
// that animates in the Browser view, on show and then covered by the
// Source Code view. The settings and engine data live in a temporary folder,
// so that the user's are not touched (and no Help window opens).

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/start_up.h"
#include "figures.h"
#include "generated_pages.h"
#include "platform/engine_settings.h"
#include "process_tree.h"
#include "shell/main_window.h"

namespace {

using pagesift::bench::loadAverage;
using pagesift::bench::median;

constexpr int kTimeoutMs = 180'000;

double millisecondsOf(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

// A page that never stops moving: a box that spins and changes colour.
constexpr char kAnimatedBody[] =
    "<body><style>@keyframes turn { to { transform: rotate(360deg); background: #36c; } }"
    " .box { width: 200px; height: 200px; margin: 40px; background: #c63; animation: turn 2s linear infinite; }"
    "</style><div class=\"box\"></div><p>Animated</p></body>";

struct Answer {
  QByteArray type;
  QByteArray body;
};

// An HTTP/1.1 server on 127.0.0.1 on a thread of its own, so that serving
// takes nothing from the thread the program and the engine share. Every
// path is "/rN/NAME": NAME is looked up, N only makes the address new.
class SiteThread : public QThread {
 public:
  explicit SiteThread(std::map<QByteArray, Answer> files) : files_(std::move(files)) {}
  ~SiteThread() override {
    quit();
    wait();
  }

  // How many requests have been answered.
  int answered() const { return answered_; }

  // Starts listening; the port, 0 when that failed.
  quint16 listen() {
    start();
    ready_.acquire();
    return port_;
  }

 protected:
  void run() override {
    QTcpServer server;
    if (server.listen(QHostAddress::LocalHost, 0)) port_ = server.serverPort();
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
      while (QTcpSocket* socket = server.nextPendingConnection()) serve(socket);
    });
    ready_.release();
    if (port_) exec();
  }

 private:
  void serve(QTcpSocket* socket) {
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pending] {
      *pending += socket->readAll();
      for (qsizetype end = pending->indexOf("\r\n\r\n"); end >= 0; end = pending->indexOf("\r\n\r\n")) {
        const QByteArray head = pending->left(end);
        pending->remove(0, end + 4);
        QByteArray path = head.left(head.indexOf("\r\n")).split(' ').value(1);
        if (const qsizetype query = path.indexOf('?'); query >= 0) path.truncate(query);
        const qsizetype name = path.indexOf('/', 1);
        const auto found = name > 0 ? files_.find(path.mid(name + 1)) : files_.end();
        ++answered_;
        if (found == files_.end()) {
          socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
          continue;
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + found->second.type +
                      "\r\nCache-Control: max-age=3600\r\nContent-Length: " +
                      QByteArray::number(found->second.body.size()) + "\r\n\r\n");
        socket->write(found->second.body);
      }
    });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  }

  const std::map<QByteArray, Answer> files_;  // read only, from the server thread
  QSemaphore ready_;
  std::atomic<int> answered_ = 0;
  quint16 port_ = 0;
};

QByteArray imageBytes(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, quality);
  return bytes;
}

// A photo-like 120 x 90 JPEG of a few KB.
QByteArray smallPhoto() {
  QImage image(120, 90, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(2 * x, 2 * y, (x * y) % 256));
  }
  return imageBytes(image, "JPEG", 80);
}

// A PNG of 99 KB that does not compress.
QByteArray largePicture() {
  QImage image(182, 182, QImage::Format_RGB888);
  QRandomGenerator random(18);
  for (int y = 0; y < image.height(); ++y) {
    uchar* line = image.scanLine(y);
    for (int x = 0; x < image.width() * 3; ++x) line[x] = static_cast<uchar>(random.bounded(256));
  }
  return imageBytes(image, "PNG");
}

QByteArray htmlPage(const char* title, const std::string& body) {
  return QByteArray("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") + title + "</title></head>\n" +
         QByteArray::fromStdString(body) + "\n</html>\n";
}

std::string imageList(int count, const QString& addressPattern) {
  std::string body = "<body>\n<h1>Pictures</h1>\n";
  for (int i = 0; i < count; ++i) {
    body += "<p><img src=\"" + addressPattern.arg(i, 3, 10, QLatin1Char('0')).toStdString() + "\" alt=\"Picture " +
            std::to_string(i) + "\"> Picture " + std::to_string(i) + "</p>\n";
  }
  return body + "</body>";
}

// What HOST does here: whether its name resolves, whether port 80 takes a
// connection, and how long each took.
QString probe(const QString& host) {
  QElapsedTimer clock;
  clock.start();
  const QHostInfo info = QHostInfo::fromName(host);
  if (info.error() != QHostInfo::NoError) {
    return QStringLiteral("%1: %2 after %3 ms").arg(host, info.errorString()).arg(clock.elapsed());
  }
  const qint64 lookup = clock.restart();
  QTcpSocket socket;
  socket.connectToHost(info.addresses().value(0), 80);
  const bool connected = socket.waitForConnected(5000);
  return QStringLiteral("%1: looked up in %2 ms; port 80 %3 after %4 ms")
      .arg(host)
      .arg(lookup)
      .arg(connected ? QStringLiteral("took the connection") : socket.errorString())
      .arg(clock.elapsed());
}

struct Page {
  QString name;
  QString address;  // with %1 for the run's number
  QString target;   // the target for the ratio
};

// The program started as a user starts it, with the main window's home page
// analysed and on show in all three views.
class PageSiftRun {
 public:
  explicit PageSiftRun(QApplication& app)
      : startUp_(app, [this](pagesift::Form1* form) {
          form_ = form;
          if (opened_) opened_();
        }) {}

  // Waits for the main window and its home page in all three views.
  bool waitUntilReady() {
    QEventLoop loop;
    opened_ = [&loop] { loop.quit(); };  // the views are connected before the engine reports
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    opened_ = nullptr;
    return form_ && waitForViews([] {}).has_value();
  }

  pagesift::Form1* form() const { return form_; }

  // Types `address` into the address box and clicks Go: milliseconds until
  // all three views have loaded, with the Browser view's share.
  std::optional<std::pair<double, double>> load(const QString& address) {
    return waitForViews([this, address] {
      form_->ui().txtUrl->setText(address);
      form_->ui().cmdGo->click();
    });
  }

 private:
  std::optional<std::pair<double, double>> waitForViews(const std::function<void()>& start) {
    QEventLoop loop;
    QObject context;
    QElapsedTimer clock;
    double browser = -1, all = -1;
    bool analysed = false;
    int generated = 0;
    const pagesift::Form1Ui& ui = form_->ui();
    QObject::connect(ui.wb[pagesift::kBrowserPane], &pagesift::BrowserPane::DownloadComplete, &context, [&] {
      if (browser < 0) browser = millisecondsOf(clock);
    });
    QObject::connect(form_, &pagesift::Form1::pageProcessed, &context, [&] {
      analysed = true;
      generated = 0;
    });
    for (const int index : {pagesift::kSourcePane, pagesift::kImagesPane}) {
      QObject::connect(ui.wb[index], &pagesift::BrowserPane::DownloadComplete, &context, [&] {
        if (analysed && ++generated == 2) {
          all = millisecondsOf(clock);
          loop.quit();
        }
      });
    }
    QTimer::singleShot(kTimeoutMs, &context, [&loop] { loop.quit(); });
    clock.start();
    start();
    if (all < 0) loop.exec();
    if (all < 0) return std::nullopt;
    return std::make_pair(all, browser);
  }

  QPointer<pagesift::Form1> form_;
  std::function<void()> opened_;
  pagesift::StartUp startUp_;  // goes first, with the main window
};

// Milliseconds until every one of `loads` (a view, the address it loads)
// has loaded.
std::optional<double> loadAll(const std::vector<std::pair<QWebEngineView*, QString>>& loads) {
  QEventLoop loop;
  QObject context;
  QElapsedTimer clock;
  size_t loaded = 0;
  double all = -1;
  for (const auto& [view, address] : loads) {
    QObject::connect(view, &QWebEngineView::loadFinished, &context, [&] {
      if (++loaded == loads.size()) {
        all = millisecondsOf(clock);
        loop.quit();
      }
    });
  }
  QTimer::singleShot(kTimeoutMs, &context, [&loop] { loop.quit(); });
  clock.start();
  for (const auto& [view, address] : loads) view->load(QUrl(address));
  if (all < 0) loop.exec();
  if (all < 0) return std::nullopt;
  return all;
}

// Milliseconds until the plain view has loaded `address`.
std::optional<double> plainLoad(QWebEngineView& view, const QString& address) { return loadAll({{&view, address}}); }

// The least the two generated views can take after the Browser view: the
// same two generated files, just written for the run, loaded side by side in
// two views of PageSift's own profile (so the page's images come from its
// cache), with nothing of PageSift around them. Milliseconds until both
// have loaded.
class GeneratedFloor {
 public:
  GeneratedFloor(QWebEngineProfile* profile, QSize size, QPoint place) {
    window_.setWindowTitle(QStringLiteral("generated views alone"));
    for (QWebEngineView*& view : views_) {
      view = new QWebEngineView(&window_);
      auto* page = new QWebEnginePage(profile, view);
      pagesift::applyEngineSettings(page->settings(), pagesift::PaneRole::kGeneratedView);
      view->setPage(page);
      view->resize(size);
    }
    window_.resize(size);
    window_.move(place);
    window_.show();
  }

  std::optional<double> load(const QStringList& files) {
    // Copies at addresses of their own, so that nothing of an earlier load is reused.
    std::vector<std::pair<QWebEngineView*, QString>> loads;
    for (const QString& file : files) {
      const QString copy = folder_.filePath(QString::number(++serial_) + QLatin1Char('_') + QFileInfo(file).fileName());
      if (loads.size() == std::size(views_) || !QFile::copy(file, copy)) return std::nullopt;
      loads.emplace_back(views_[loads.size()], QUrl::fromLocalFile(copy).toString());
    }
    return loadAll(loads);
  }

 private:
  QWidget window_;
  QWebEngineView* views_[2] = {};
  QTemporaryDir folder_;
  int serial_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  // The program's settings and engine data, out of the user's way.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/data")));
  {
    QDir().mkpath(home.path() + QStringLiteral("/config"));
    QFile settings(home.path() + QStringLiteral("/config/PageSift.ini"));
    if (settings.open(QIODevice::WriteOnly)) settings.write("[Settings]\nshowHelp=0\n");
  }
  pagesift::prepareEngineEnvironment();
  QApplication app(argc, argv);

  int runs = 5;
  QStringList chosen;
  QStringList extra;
  QString unreachableHost = QStringLiteral("pictures.example.invalid");
  double cpuSeconds = 0;
  const QStringList arguments = app.arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--page") && i + 1 < arguments.size()) {
      chosen += arguments[++i];
    } else if (argument == QLatin1String("--url") && i + 1 < arguments.size()) {
      extra += arguments[++i];
    } else if (argument == QLatin1String("--unreachable") && i + 1 < arguments.size()) {
      unreachableHost = arguments[++i];
    } else if (argument == QLatin1String("--cpu") && i + 1 < arguments.size()) {
      cpuSeconds = arguments[++i].toDouble();
    } else if (argument.toInt() > 0) {
      runs = argument.toInt();
    } else {
      std::fputs(
          "usage: pipeline_bench [RUNS] [--page typical|large|local|unreachable]... [--url ADDRESS]... "
          "[--unreachable HOST] [--cpu SECONDS]\n",
          stderr);
      return 2;
    }
  }

  std::map<QByteArray, Answer> files;
  using pagesift::bench::GeneratePage;
  files["typical.html"] = {"text/html", htmlPage("Typical page", GeneratePage(pagesift::bench::kTypical))};
  files["large.html"] = {"text/html", htmlPage("Large page", GeneratePage(pagesift::bench::kLarge))};
  files["local.html"] = {"text/html",
                         htmlPage("Local pictures", imageList(200, QStringLiteral("local/picture%1.png")))};
  const QString elsewhere = QStringLiteral("http://") + unreachableHost + QStringLiteral("/p/picture%1.jpg");
  files["unreachable.html"] = {"text/html", htmlPage("Pictures elsewhere", imageList(40, elsewhere))};
  files["animated.html"] = {"text/html", htmlPage("Animated", kAnimatedBody)};
  const QByteArray photo = smallPhoto();
  for (size_t i = 0; i < pagesift::bench::kLarge.imgTags + pagesift::bench::kLarge.imageLinks; ++i) {
    files["images/" + QByteArray::fromStdString(pagesift::bench::Numbered("photo", i, ".jpg"))] = {"image/jpeg", photo};
  }
  const QByteArray picture = largePicture();
  for (int i = 0; i < 200; ++i) {
    files["local/picture" + QByteArray::number(i).rightJustified(3, '0') + ".png"] = {"image/png", picture};
  }
  SiteThread site(std::move(files));
  const quint16 port = site.listen();
  if (!port) {
    std::fputs("pipeline_bench: cannot listen on 127.0.0.1\n", stderr);
    return 1;
  }
  // "%1": the run's number.
  const QString root = QStringLiteral("http://127.0.0.1:") + QString::number(port) + QStringLiteral("/r%1/");
  std::vector<Page> pages = {
      {QStringLiteral("typical"), root + QStringLiteral("typical.html"), QStringLiteral("1.25")},
      {QStringLiteral("large"), root + QStringLiteral("large.html"), QStringLiteral("1.25")},
      {QStringLiteral("local"), root + QStringLiteral("local.html"), QStringLiteral("1.4")},
      {QStringLiteral("unreachable"), root + QStringLiteral("unreachable.html"), QStringLiteral("2")}};
  if (!chosen.isEmpty() || !extra.isEmpty()) {
    std::erase_if(pages, [&chosen](const Page& page) { return !chosen.contains(page.name); });
  }
  for (const QString& address : extra) pages.push_back({address, address, QStringLiteral("-")});

  std::printf("pipeline_bench: %d interleaved pairs a page; load average %s\n", runs, loadAverage().constData());
  std::printf("pages at %s; photo %lld bytes, picture %lld bytes; %s\n", qPrintable(root.arg(QLatin1Char('N'))),
              static_cast<long long>(photo.size()), static_cast<long long>(picture.size()),
              qPrintable(probe(unreachableHost)));
  std::fflush(stdout);

  PageSiftRun pageSift(app);
  if (!pageSift.waitUntilReady()) {
    std::fputs("pipeline_bench: PageSift did not open its home page\n", stderr);
    return 1;
  }
  QWidget plainWindow;
  plainWindow.setWindowTitle(QStringLiteral("plain view"));
  auto* plain = new QWebEngineView(&plainWindow);
  plainWindow.resize(pageSift.form()->ui().wb[pagesift::kBrowserPane]->widget()->size());
  plain->resize(plainWindow.size());
  plainWindow.move(pageSift.form()->geometry().topRight());
  plainWindow.show();
  std::printf("plain view: default profile, %s\n",
              plain->page()->profile()->isOffTheRecord() ? "off the record" : "kept on disk");
  const pagesift::Form1Ui& ui = pageSift.form()->ui();
  const auto* sourceView = qobject_cast<QWebEngineView*>(ui.wb[pagesift::kSourcePane]->widget());
  if (!sourceView) {
    std::fputs("pipeline_bench: the Source Code view is no engine view\n", stderr);
    return 1;
  }
  GeneratedFloor floor(sourceView->page()->profile(), plainWindow.size(), pageSift.form()->geometry().bottomLeft());
  const auto generatedFiles = [&ui] {
    return QStringList{QUrl(ui.wb[pagesift::kSourcePane]->LocationURL()).toLocalFile(),
                       QUrl(ui.wb[pagesift::kImagesPane]->LocationURL()).toLocalFile()};
  };

  int serial = 0;
  const auto next = [&serial](const Page& page) {
    return page.address.contains(QLatin1String("%1")) ? page.address.arg(++serial) : page.address;
  };
  // One untimed pair, so that the first timed run finds the engine as every later one does.
  (void)pageSift.load(next(pages.front()));
  (void)plainLoad(*plain, next(pages.front()));

  struct Result {
    QString name, target;
    double pageSift, browser, plain, floor;
  };
  std::vector<Result> results;
  for (const Page& page : pages) {
    std::vector<double> pageSiftTimes, browserTimes, plainTimes, floorTimes;
    for (int run = 0; run < runs; ++run) {
      std::optional<std::pair<double, double>> ours;
      std::optional<double> theirs, least;
      int ourRequests = 0, theirRequests = 0;
      const auto runOurs = [&] {
        const int before = site.answered();
        ours = pageSift.load(next(page));
        ourRequests = site.answered() - before;
        if (ours) least = floor.load(generatedFiles());
      };
      const auto runTheirs = [&] {
        const int before = site.answered();
        theirs = plainLoad(*plain, next(page));
        theirRequests = site.answered() - before;
      };
      if (run % 2 == 0) {
        runOurs();
        runTheirs();
      } else {
        runTheirs();
        runOurs();
      }
      if (!ours || !theirs || !least) {
        std::fprintf(stderr, "pipeline_bench: %s did not load within %d s\n", qPrintable(page.name), kTimeoutMs / 1000);
        return 1;
      }
      pageSiftTimes.push_back(ours->first);
      browserTimes.push_back(ours->second);
      plainTimes.push_back(*theirs);
      floorTimes.push_back(*least);
      std::printf(
          "%-12s run %d: PageSift %7.0f ms (Browser view %7.0f ms, %d requests), "
          "plain view %7.0f ms (%d requests), generated views alone %7.0f ms\n",
          qPrintable(page.name), run + 1, ours->first, ours->second, ourRequests, *theirs, theirRequests, *least);
      std::fflush(stdout);
    }
    results.push_back(
        {page.name, page.target, median(pageSiftTimes), median(browserTimes), median(plainTimes), median(floorTimes)});
  }

  std::printf("\nmedians of %d pairs; load average %s\n", runs, loadAverage().constData());
  std::printf("%-12s %22s %14s %16s %7s %7s %16s %7s\n", "page", "PageSift, all 3 views", "Browser view", "plain view",
              "ratio", "target", "generated alone", "least");
  for (const Result& r : results) {
    const auto ratio = [&r](double time) { return r.plain > 0 ? time / r.plain : 0.0; };
    std::printf("%-12s %19.0f ms %11.0f ms %13.0f ms %7.2f %7s %13.0f ms %7.2f\n", qPrintable(r.name), r.pageSift,
                r.browser, r.plain, ratio(r.pageSift), qPrintable(QStringLiteral("<= ") + r.target), r.floor,
                ratio(r.plain + r.floor));
  }
  std::puts(
      "least: the plain view's load and then the generated views alone, the least any program can take that "
      "shows the two generated views only once the page has loaded");
  if (cpuSeconds > 0) {
    const auto cpuShare = [cpuSeconds](const char* what) {
      QEventLoop settle;
      QTimer::singleShot(1000, &settle, &QEventLoop::quit);
      settle.exec();
      const double before = pagesift::bench::treeCpuMilliseconds();
      QEventLoop loop;
      QTimer::singleShot(static_cast<int>(cpuSeconds * 1000), &loop, &QEventLoop::quit);
      loop.exec();
      const double used = pagesift::bench::treeCpuMilliseconds() - before;
      std::printf("  %-62s %5.1f%% of one core\n", what, used / (cpuSeconds * 10));
      std::fflush(stdout);
    };
    std::printf("\nCPU time of the program and its engine processes over %.0f s; load average %s\n", cpuSeconds,
                loadAverage().constData());
    QTabWidget* tabs = pageSift.form()->ui().TabStrip1;
    if (pageSift.load(next(pages.front()))) cpuShare("idle, a page in all three views, the Browser view on show");
    if (pageSift.load(root.arg(++serial) + QStringLiteral("animated.html"))) {
      cpuShare("a page that animates in the Browser view, on show");
      tabs->setCurrentIndex(pagesift::kSourcePane);
      cpuShare("the same, the Browser view covered by the Source Code view");
      tabs->setCurrentIndex(pagesift::kBrowserPane);
    }
  }
  return 0;
}
