// Whole-program start-up as a user sees it: the program starts as PageSift
// does (splash, then the main window on the home page) and reports, counted
// from process start, when the main window is first painted and when both
// generated views have loaded the home page's analysis; then, after a few
// idle seconds, the memory of the program and its engine processes.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <map>

#include "app/start_up.h"
#include "shell/main_window.h"

namespace {

// Milliseconds between the start of this process and now.
double MillisecondsSinceProcessStart() {
  QFile stat(QStringLiteral("/proc/self/stat"));
  QFile uptime(QStringLiteral("/proc/uptime"));
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return 0;
  const QByteArray statText = stat.readAll();
  const QList<QByteArray> fields = statText.mid(statText.lastIndexOf(')') + 2).split(' ');
  const double startTicks = fields.value(19).toDouble();  // field 22 of the whole line
  const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
  return (upSeconds - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

// Resident and proportional memory, in MiB, of this process and every
// process below it.
std::pair<double, double> TreeMemoryMiB() {
  std::map<int, int> parentOf;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool isPid = false;
    const int pid = entry.toInt(&isPid);
    if (!isPid) continue;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray text = stat.readAll();
    parentOf[pid] = text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt();
  }
  double rss = 0, pss = 0;
  for (const auto& [pid, parent] : parentOf) {
    int ancestor = pid;
    while (ancestor > 1 && ancestor != getpid()) ancestor = parentOf.count(ancestor) ? parentOf[ancestor] : 0;
    if (ancestor != getpid()) continue;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& line : rollup.readAll().split('\n')) {
      const QList<QByteArray> parts = line.simplified().split(' ');
      if (parts.size() < 2) continue;
      if (parts[0] == "Rss:") rss += parts[1].toDouble() / 1024;
      if (parts[0] == "Pss:") pss += parts[1].toDouble() / 1024;
    }
  }
  return {rss, pss};
}

class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> painted) : painted_(std::move(painted)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && painted_) {
      auto painted = std::move(painted_);
      painted_ = nullptr;
      painted();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> painted_;
};

}  // namespace

int main(int argc, char** argv) {
  pagesift::prepareEngineEnvironment();
  QApplication app(argc, argv);
  const double idleSeconds = argc > 1 ? std::atof(argv[1]) : 5.0;

  FirstPaint* firstPaint = nullptr;
  int viewsLoaded = 0;
  bool analysed = false;
  pagesift::StartUp startUp(app, [&](pagesift::Form1* form) {
    firstPaint = new FirstPaint([] { std::printf("main window painted: %.0f ms\n", MillisecondsSinceProcessStart()); });
    firstPaint->setParent(form);
    form->installEventFilter(firstPaint);
    QObject::connect(form, &pagesift::Form1::pageProcessed, form, [&analysed] { analysed = true; });
    for (int index : {1, 2}) {
      QObject::connect(form->ui().wb[index], &pagesift::BrowserPane::DownloadComplete, form, [&](int) {
        if (!analysed || ++viewsLoaded != 2) return;
        std::printf("home page analysed and both views loaded: %.0f ms\n", MillisecondsSinceProcessStart());
        QTimer::singleShot(static_cast<int>(idleSeconds * 1000), &app, [&app] {
          const auto [rss, pss] = TreeMemoryMiB();
          std::printf("idle memory, program and engine processes: RSS %.0f MiB, PSS %.0f MiB\n", rss, pss);
          std::fflush(stdout);
          app.quit();
        });
      });
    }
  });
  return app.exec();
}
