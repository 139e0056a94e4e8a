// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Speed of one page's analysis, on generated pages whose body is already
// captured. The working files go to a temporary folder.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/page_analysis.h"
#include "analysis/working_files.h"
#include "generated_pages.h"

namespace {

using pagesift::bench::GeneratePage;
using pagesift::bench::kLarge;
using pagesift::bench::kTypical;
using pagesift::bench::Numbered;
using pagesift::bench::PageShape;

constexpr PageShape kHostile{5'000'000, 40'000, 0};

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pagesift-bench-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void RunAnalysePage(benchmark::State& state, const PageShape& shape) {
  // Captured once, as the program holds it.
  const std::optional<std::string> page = GeneratePage(shape);
  TempFolder folder;
  pagesift::CreateMissingWorkingFiles(folder.path());
  pagesift::AnalysisLists lists;
  for (auto _ : state) {
    const auto result = pagesift::AnalysePage(
        page, [] { return std::string("http://www.example.org/site/pages/index.html"); }, folder.path(), lists);
    if (!result.skipped.empty()) state.SkipWithError(result.skipped.front().c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page->size()));
  state.counters["images"] = static_cast<double>(lists.Links[1].ListCount());
  state.counters["links"] = static_cast<double>(lists.Links[0].ListCount());
}

void BM_Typical(benchmark::State& state) { RunAnalysePage(state, kTypical); }
void BM_Large(benchmark::State& state) { RunAnalysePage(state, kLarge); }
void BM_Hostile(benchmark::State& state) { RunAnalysePage(state, kHostile); }

// The large page's text grown by a factor, the images and links unchanged.
void BM_LargeScaled(benchmark::State& state) {
  const size_t factor = static_cast<size_t>(state.range(0));
  RunAnalysePage(state, {kLarge.bytes * factor, kLarge.imgTags, kLarge.imageLinks});
}

// The large page with more image tags in the same text.
void BM_LargeImages(benchmark::State& state) {
  RunAnalysePage(state, {kLarge.bytes, static_cast<size_t>(state.range(0)), kLarge.imageLinks});
}

// Pages crafted against the analysis. Each must finish in seconds with
// bounded memory; `process_page_bench --write-pages DIR` writes them as files,
// with the typical and the large page, for whole-process measurements
// (pagesift-scan under /usr/bin/time -v).
std::string Repeat(std::string_view piece, size_t bytes) {
  std::string out;
  out.reserve(bytes + piece.size());
  while (out.size() < bytes) out += piece;
  return out;
}

std::string OrdinaryText(size_t bytes) {
  return Repeat("<p class=\"text\">Ordinary text, <em>some</em> markup &amp; a line break.</p>\n", bytes);
}

std::string ManyTags(size_t count, const char* stem) {
  std::string page;
  for (size_t i = 0; i < count; ++i) page += "<img src=\"" + Numbered(stem, i, ".gif") + "\">\n";
  return page;
}

const std::vector<std::pair<std::string, std::string>>& HostilePages() {
  static const std::vector<std::pair<std::string, std::string>> pages = [] {
    std::vector<std::pair<std::string, std::string>> out;
    out.emplace_back("text-50mb", OrdinaryText(50'000'000));
    out.emplace_back("tags-100k", ManyTags(100'000, "p"));
    std::string shortNames = OrdinaryText(5'000'000);
    for (char c : std::string_view("aeiounrstlp0123456789")) {
      shortNames += "<img src=\"" + std::string(1, c) + "\"><a href=\"x/" + std::string(1, c) + "e.jpg\">x</a>";
    }
    out.emplace_back("one-letter-names-5mb", shortNames);
    std::string nested;  // every name stands in every address
    for (char c : std::string_view("abcdefg")) nested += "<img src=\"abcdefg/" + std::string(1, c) + "\">";
    out.emplace_back("names-in-addresses", nested);
    std::string data;
    for (size_t i = 0; i < 10'000; ++i)
      data += "<img src=\"data:image/png;base64," + Repeat("iVBORw0KGgo", 180) + "\">";
    out.emplace_back("data-uris-10k", data);
    std::string oneLine = OrdinaryText(5'000'000) + ManyTags(1'000, "q");
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    out.emplace_back("no-line-breaks-5mb", oneLine);
    out.emplace_back("cr-every-character-5mb", Repeat("<\ri\rm\rg\r \rs\rr\rc\r=\rx\r.\rg\ri\rf\r>\r", 5'000'000));
    return out;
  }();
  return pages;
}

void BM_HostilePage(benchmark::State& state) {
  const auto& [name, text] = HostilePages()[static_cast<size_t>(state.range(0))];
  const std::optional<std::string> page = text;
  state.SetLabel(name);
  TempFolder folder;
  pagesift::CreateMissingWorkingFiles(folder.path());
  pagesift::AnalysisLists lists;
  for (auto _ : state) {
    pagesift::AnalysePage(
        page, [] { return std::string("http://www.example.org/site/pages/index.html"); }, folder.path(), lists);
  }
  state.counters["images"] = static_cast<double>(lists.Links[1].ListCount());
  state.counters["MB_out"] = static_cast<double>(std::filesystem::file_size(folder.path() + "/source.htm")) / 1e6;
}

int WritePages(const std::string& folder) {
  std::filesystem::create_directories(folder);
  std::vector<std::pair<std::string, std::string>> pages = HostilePages();
  pages.emplace_back("typical", GeneratePage(kTypical));
  pages.emplace_back("large", GeneratePage(kLarge));
  for (const auto& [name, page] : pages) {
    FILE* file = std::fopen((folder + "/" + name + ".html").c_str(), "wb");
    if (!file || std::fwrite(page.data(), 1, page.size(), file) != page.size() || std::fclose(file) != 0) {
      std::perror(name.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

BENCHMARK(BM_Typical)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Large)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Hostile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LargeScaled)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LargeImages)
    ->Arg(1'000)
    ->Arg(2'000)
    ->Arg(4'000)
    ->Arg(8'000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HostilePage)
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--write-pages") return WritePages(argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
