// Speed of one page's analysis, on generated pages whose body is already
// captured. The working files go to a temporary folder.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/page_analysis.h"
#include "analysis/source_view.h"
#include "analysis/working_files.h"

namespace {

struct PageShape {
  size_t bytes;
  size_t imgTags;
  size_t imageLinks;
};

constexpr PageShape kTypical{200'000, 60, 20};
constexpr PageShape kLarge{2'000'000, 1'000, 200};
constexpr PageShape kHostile{5'000'000, 40'000, 0};

std::string Numbered(const char* stem, size_t i, const char* ending) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%05zu%s", stem, i, ending);
  return name;
}

// A body as the engine serialises it: LF line breaks, double-quoted
// attributes, image tags and image links spread evenly through text.
std::string GeneratePage(const PageShape& shape) {
  const std::string filler =
      "<p class=\"text\">Pages are made of markup, style and pictures; this paragraph only takes up room "
      "so that the page reaches its size, <em>like</em> the text around pictures does.</p>\n";
  const size_t items = shape.imgTags + shape.imageLinks;
  std::string page = "<body>\n<div id=\"content\">\n";
  page.reserve(shape.bytes + 4096);
  for (size_t i = 0; i < items; ++i) {
    const size_t target = (i + 1) * shape.bytes / (items + 1);
    while (page.size() < target) page += filler;
    if (i % (items / (shape.imageLinks + 1) + 1) == 0 && i / (items / (shape.imageLinks + 1) + 1) < shape.imageLinks) {
      page += "<a href=\"gallery/" + Numbered("full", i, ".jpg") + "\">Full size " + std::to_string(i) + "</a>\n";
    } else {
      page += "<img src=\"images/" + Numbered("photo", i, ".jpg") + "\" alt=\"Photo " + std::to_string(i) +
              "\" width=\"120\">\n";
    }
  }
  while (page.size() < shape.bytes) page += filler;
  return page + "</div>\n</body>";
}

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
  const std::string page = GeneratePage(shape);
  TempFolder folder;
  pagesift::CreateMissingWorkingFiles(folder.path());
  pagesift::AnalysisLists lists;
  for (auto _ : state) {
    const auto result =
        pagesift::AnalysePage(page, [] { return std::string("http://www.example.org/site/pages/index.html"); },
                              folder.path(), lists);
    if (!result.skipped.empty()) state.SkipWithError(result.skipped.front().c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
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

// Baseline for the file-name linking: the same passes as one literal
// replace-all over the whole text each, against the indexed linker.
void RunLinking(benchmark::State& state, bool oneByOne) {
  const std::string page = pagesift::EscapeSourceText(GeneratePage(kLarge));
  std::vector<pagesift::LinkPass> passes;
  for (size_t i = 0; i < kLarge.imgTags + kLarge.imageLinks; ++i) {
    passes.push_back({Numbered("photo", i, ".jpg"), "http://www.example.org/site/pages/images/" + Numbered("photo", i, ".jpg")});
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(oneByOne ? pagesift::LinkFileNamesOneByOne(page, passes)
                                      : pagesift::LinkFileNames(page, passes));
  }
}
void BM_LinkLargeIndexed(benchmark::State& state) { RunLinking(state, false); }
void BM_LinkLargeOneByOne(benchmark::State& state) { RunLinking(state, true); }

}  // namespace

BENCHMARK(BM_Typical)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Large)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Hostile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LargeScaled)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LinkLargeIndexed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LinkLargeOneByOne)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
