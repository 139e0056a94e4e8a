// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The help window's cost on hostile help files, which are easy to make: runs
// of one letter whose font size alternates between two huge values (10,000
// runs in 85 KB, and the same pattern to 2.5 MB), one paragraph of 1 MB (one
// word, and words), and the largest file the window reads (32 MB) of small
// words and of line breaks. The shipped Help.rtf is the baseline.
//
//   help_rtf_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//   help_rtf_bench --write=DIR    writes the documents as DIR/0.rtf ... and stops
//
// The whole program's start with one of them as its help file: copy the
// program folder (build/bin, startup_bench included), put the document in
// it as Help.rtf and run startup_bench there with an empty
// XDG_CONFIG_HOME, so that the help window opens at start.
//
// ReadRtf: the reader building a text document from the bytes.
// HelpAtStart: what the help file costs the start: the help window made,
// loaded and shown as the main window's load does it, then a stand-in for
// the main window shown; the time until the stand-in is painted. The
// document's layout goes on in steps from the event loop, and those come
// before the stand-in's paint if they come first.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>

#include <cstdio>
#include <string>
#include <vector>

#include "support/help_window.h"
#include "support/rtf_reader.h"

namespace {

struct Document {
  const char* name;
  QByteArray bytes;
};

QByteArray repeated(const QByteArray& start, const QByteArray& piece, qsizetype bytes) {
  QByteArray rtf = start;
  rtf.reserve(bytes + piece.size() + 1);
  while (rtf.size() < bytes) rtf += piece;
  return rtf + '}';
}

const std::vector<Document>& documents() {
  static const std::vector<Document> all = [] {
    QFile shipped(QStringLiteral(PAGESIFT_RESOURCES "/Help.rtf"));
    shipped.open(QIODevice::ReadOnly);
    return std::vector<Document>{
        {"shipped Help.rtf", shipped.readAll()},
        {"10,000 runs, 85 KB", repeated("{\\rtf1 ", "\\fs1000 a\\fs999 b", 85'000)},
        {"runs, 2.5 MB", repeated("{\\rtf1 ", "\\fs1000 a\\fs999 b", 2'500'000)},
        {"1 MB paragraph, one word", repeated("{\\rtf1 ", QByteArray(27, 'x'), 1'000'000)},
        {"1 MB paragraph, words", repeated("{\\rtf1 ", "lorem ipsum dolor sit amet ", 1'000'000)},
        {"32 MB of 6 pt words", repeated("{\\rtf1\\fs12 ", "lorem ipsum dolor sit amet ", 32 << 20)},
        {"32 MB of line breaks", repeated("{\\rtf1\\fs12 ", "ab\\line ", 32 << 20)},
    };
  }();
  return all;
}

void ReadRtf(benchmark::State& state) {
  const Document& document = documents()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(document.name);
  for (auto _ : state) {
    QTextDocument text;
    benchmark::DoNotOptimize(pagesift::ReadRtf(document.bytes, text));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * document.bytes.size());
}

class PaintWatch : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(watched, event);
  }
};

void HelpAtStart(benchmark::State& state) {
  const Document& document = documents()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(document.name);
  QTemporaryDir program, config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  QFile help(program.filePath(QStringLiteral("Help.rtf")));
  if (!help.open(QIODevice::WriteOnly) || help.write(document.bytes) != document.bytes.size()) {
    state.SkipWithError("cannot write Help.rtf");
    return;
  }
  help.close();
  for (auto _ : state) {
    pagesift::Form8 window(program.path(), pagesift::SettingsStore(QStringLiteral("PageSift Bench")));
    window.Form_Load();
    window.show();
    QWidget mainWindow;
    mainWindow.resize(800, 600);
    PaintWatch watch;
    mainWindow.installEventFilter(&watch);
    mainWindow.show();
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    state.PauseTiming();
    window.hide();
    mainWindow.hide();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(ReadRtf)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->MinTime(0.2);
// One iteration a run: pass --benchmark_repetitions=5 for a median.
BENCHMARK(HelpAtStart)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 2 && qstrncmp(argv[1], "--write=", 8) == 0) {
    for (std::size_t i = 0; i < documents().size(); ++i) {
      QFile file(QFile::decodeName(argv[1] + 8) + QStringLiteral("/%1.rtf").arg(i));
      if (!file.open(QIODevice::WriteOnly) || file.write(documents()[i].bytes) != documents()[i].bytes.size()) return 1;
      std::printf("%s: %s\n", qPrintable(file.fileName()), documents()[i].name);
    }
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
