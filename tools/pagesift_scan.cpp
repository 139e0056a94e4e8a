// pagesift-scan: PageSift's page analysis on the command line.

#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/page_analysis.h"
#include "analysis/text_file.h"
#include "analysis/working_files.h"
#include "scan_output.h"

namespace {

constexpr const char* kUsage = "usage: pagesift-scan [--url ADDRESS] [--out DIR] [--format tsv|json] FILE";

constexpr const char* kHelp =
    "usage: pagesift-scan [--url ADDRESS] [--out DIR] [--format tsv|json] FILE\n"
    "\n"
    "Analyses a page the way PageSift does after each completed load in its\n"
    "Browser view. FILE holds the page's captured body HTML (\"-\" reads it\n"
    "from standard input).\n"
    "\n"
    "  --url ADDRESS  the Browser view's address, against which relative\n"
    "                 references are resolved (default: empty)\n"
    "  --out DIR      the folder for the working files (created if missing;\n"
    "                 default: the current folder); source.htm and\n"
    "                 imagepage.html there are the Source Code and Images views\n"
    "  --format F     tsv (default) or json\n"
    "  --help         show this help\n"
    "  --version      show the version\n"
    "\n"
    "Prints what was found, one entry a line, in list order: first every image\n"
    "of the page's image tags as\n"
    "  img<TAB>NAME<TAB>ADDRESS\n"
    "then every link to an image file as\n"
    "  link<TAB>NAME<TAB>ADDRESS\n"
    "with backslash, tab, line feed and carriage return in a name or address\n"
    "written as \\\\, \\t, \\n and \\r. With --format json, each find is one JSON\n"
    "object a line instead:\n"
    "  {\"list\":\"img\",\"name\":\"NAME\",\"address\":\"ADDRESS\"}\n"
    "(bytes that are not UTF-8 written as U+FFFD).\n"
    "\n"
    "Exit status: 0 done, 1 a file or folder could not be read or written\n"
    "(the message names it), 2 bad usage.\n";

struct Options {
  std::string url;
  std::string out = ".";
  std::string input;
  bool json = false;
  bool help = false;
  bool version = false;
};

int UsageError(const std::string& message) {
  std::cerr << "pagesift-scan: " << message << " (" << kUsage << ")\n";
  return 2;
}

// Fills `options`; returns an error message for bad usage.
std::optional<std::string> ParseArguments(int argc, char** argv, Options& options) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool haveInput = false;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && (arg == "--url" || arg == "--out" || arg == "--format")) {
      if (i + 1 == args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "--format") {
        if (value != "tsv" && value != "json") return "unknown format '" + value + "' (tsv or json)";
        options.json = value == "json";
      } else {
        (arg == "--url" ? options.url : options.out) = value;
      }
    } else if (!optionsEnded && arg == "--help") {
      options.help = true;
    } else if (!optionsEnded && arg == "--version") {
      options.version = true;
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return "unknown option '" + arg + "'";
    } else if (haveInput) {
      return "only one FILE may be given";
    } else {
      options.input = arg;
      haveInput = true;
    }
  }
  if (!options.help && !options.version && !haveInput) return "no FILE given";
  if (options.out.empty()) return "--out needs a folder";
  return std::nullopt;
}

// The page is the user's own file: a link or a pipe is as good as a file.
std::string ReadInput(const std::string& input) {
  std::ifstream file;
  if (input != "-") {
    file.open(input, std::ios::binary);
    if (!file) throw pagesift::FileError(input, "cannot open for reading");
  }
  std::istream& in = input == "-" ? std::cin : file;
  std::string text;
  if (input != "-") {
    std::error_code sizeUnknown;  // a pipe, say
    const std::uintmax_t size = std::filesystem::file_size(input, sizeUnknown);
    if (!sizeUnknown) text.reserve(static_cast<size_t>(size));
  }
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) text.append(chunk, static_cast<size_t>(in.gcount()));
  if (in.bad()) throw pagesift::FileError(input == "-" ? "standard input" : input, "cannot read");
  return text;
}

void PrintPair(const pagesift::AnalysisLists& lists, size_t pair, const char* kind, bool json) {
  const auto format = json ? pagesift::FindAsJson : pagesift::FindAsTsv;
  for (size_t i = 0; i < lists.Links[pair].ListCount(); ++i) {
    std::cout << format(kind, lists.frmList[pair].List(i), lists.Links[pair].List(i)) << '\n';
  }
}

// Says on standard error what a full list pair had to leave out.
void ReportDropped(const pagesift::AnalysisLists& lists, size_t pair, const char* kind) {
  const pagesift::DroppedFinds& dropped = lists.dropped[pair];
  if (dropped.atEntryLimit > 0) {
    std::cerr << "pagesift-scan: " << kind << " list full at " << pagesift::StringList::kMaxEntries << " entries: "
              << dropped.atEntryLimit << " more references not listed\n";
  }
  if (dropped.atByteLimit > 0) {
    std::cerr << "pagesift-scan: " << kind << " list full at " << pagesift::kMaxListedAddressBytes
              << " bytes of addresses: " << dropped.atByteLimit << " more references not listed\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // The analysis makes and drops page-sized strings one after another; keep
  // freed memory for the next one instead of handing it back and faulting
  // fresh pages in each time. The threshold is the largest the C library
  // documents (32 MiB on 64-bit systems; some versions refuse more and then
  // change nothing): larger strings still come straight from the system. A
  // refusal only costs speed.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(4 * 1024 * 1024 * sizeof(long)));
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  Options options;
  if (const auto error = ParseArguments(argc, argv, options)) return UsageError(*error);
  if (options.help) {
    std::cout << kHelp;
    return 0;
  }
  if (options.version) {
    std::cout << "pagesift-scan (PageSift) " PAGESIFT_VERSION "\n"
                 "License GPL-3.0-or-later: GNU GPL version 3 or later.\n"
                 "This is free software: you may change and share it. There is NO WARRANTY.\n";
    return 0;
  }

  std::optional<std::string> page;  // as the analysis takes it, so that it is not copied
  try {
    page = ReadInput(options.input);
  } catch (const pagesift::FileError& e) {
    std::cerr << "pagesift-scan: cannot read the page " << e.what() << '\n';
    return 1;
  }

  try {
    std::error_code ec;
    std::filesystem::create_directories(options.out, ec);
    if (ec) throw pagesift::FileError(options.out, "cannot create the folder: " + ec.message());
    pagesift::CreateMissingWorkingFiles(options.out);
  } catch (const pagesift::FileError& e) {
    std::cerr << "pagesift-scan: cannot use the output folder " << e.what() << '\n';
    return 1;
  }

  pagesift::AnalysisLists lists;
  const pagesift::PageAnalysis result =
      pagesift::AnalysePage(page, [&options] { return options.url; }, options.out, lists);

  PrintPair(lists, pagesift::AnalysisLists::kImgTags, "img", options.json);
  PrintPair(lists, pagesift::AnalysisLists::kImageLinks, "link", options.json);
  std::cout.flush();

  ReportDropped(lists, pagesift::AnalysisLists::kImgTags, "img");
  ReportDropped(lists, pagesift::AnalysisLists::kImageLinks, "link");
  for (const std::string& skipped : result.skipped) {
    std::cerr << "pagesift-scan: step skipped, its files were not (all) written: " << skipped << '\n';
  }
  return result.skipped.empty() && std::cout ? 0 : 1;
}
