// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// How Save All's naming grows with the number of images: N addresses with
// the same last segment ("a/p.png", "b/p.png", ...) named in one folder,
// each settled with its content type, as Save All does. Linear: the time
// per name stays flat from 1,000 to 100,000 names.
//
//   ./build/bench/save_naming_bench

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QUrl>

#include "inventory/image_file_names.h"

namespace {

void BM_SameLastSegment(benchmark::State& state) {
  const QTemporaryDir folder;
  QList<QUrl> addresses;
  for (int64_t i = 0; i < state.range(0); ++i) addresses.append(QUrl(QStringLiteral("http://h/%1/p.png").arg(i)));
  for (auto _ : state) {
    pagesift::FileNameReservations names(folder.path());
    for (const QUrl& address : addresses) {
      benchmark::DoNotOptimize(
          names.complete(names.reserve(pagesift::imageFileName(address)), QStringLiteral("image/png")));
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SameLastSegment)->Arg(1000)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
