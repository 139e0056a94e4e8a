// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// pagesift-scan: PageSift's page analysis on the command line.

#include <fcntl.h>
#include <getopt.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "analysis/page_analysis.h"
#include "analysis/text_file.h"
#include "analysis/working_files.h"
#include "product_build_info.h"
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
    "  -h, --help     show this help\n"
    "  --version      show the version\n"
    "\n"
    "A value may also follow its option after \"=\" (--format=json). Options may\n"
    "stand before or after FILE; \"--\" ends them, so that a FILE can begin\n"
    "with \"-\".\n"
    "\n"
    "Prints what was found, one entry a line, in list order: first every image\n"
    "of the page's image tags as\n"
    "  img<TAB>NAME<TAB>ADDRESS\n"
    "then every link to an image file as\n"
    "  link<TAB>NAME<TAB>ADDRESS\n"
    "with backslash, tab, line feed and carriage return in a name or address\n"
    "written as \\\\, \\t, \\n and \\r. NAME is the file name as the page's text\n"
    "shows it; ADDRESS is made from the reference as a browser reads the\n"
    "attribute, with &amp; &lt; &gt; &quot; &#39; read as & < > \" '.\n"
    "With --format json, each find is one JSON object a line instead:\n"
    "  {\"list\":\"img\",\"name\":\"NAME\",\"address\":\"ADDRESS\"}\n"
    "(bytes that are not UTF-8 written as U+FFFD).\n"
    "\n"
    "Exit status: 0 done, 1 a file or folder could not be read or written\n"
    "(the message names it and says why), 2 bad usage.\n";

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

// The values getopt_long gives the long options that have no short form.
enum LongOnly : int { kUrl = 256, kOut, kFormat, kVersion };

constexpr option kLongOptions[] = {
    {"url", required_argument, nullptr, kUrl},       {"out", required_argument, nullptr, kOut},
    {"format", required_argument, nullptr, kFormat}, {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},     {nullptr, 0, nullptr, 0},
};

std::string LongName(int value) {
  for (const option& o : kLongOptions) {
    if (o.name && o.val == value) return std::string("--") + o.name;
  }
  return "-" + std::string(1, static_cast<char>(value));
}

// Fills `options` the GNU way (getopt_long: "--format json" or
// "--format=json", unambiguous abbreviations, options after FILE, "--" ends
// them); returns an error message for bad usage.
std::optional<std::string> ParseArguments(int argc, char** argv, Options& options) {
  opterr = 0;  // the messages are ours
  for (;;) {
    const int c = getopt_long(argc, argv, ":h", kLongOptions, nullptr);
    if (c == -1) break;
    switch (c) {
      case kUrl: options.url = optarg; break;
      case kOut: options.out = optarg; break;
      case kFormat:
        if (std::strcmp(optarg, "tsv") != 0 && std::strcmp(optarg, "json") != 0) {
          return std::string("unknown format '") + optarg + "' (tsv or json)";
        }
        options.json = std::strcmp(optarg, "json") == 0;
        break;
      case 'h': options.help = true; break;
      case kVersion: options.version = true; break;
      case ':': return LongName(optopt) + " needs a value";
      default:
        // An option of ours given a value it does not take ("--help=x"), or
        // one we do not have; getopt_long has gone past a long one already.
        if (optopt == 'h' || optopt == kVersion) return LongName(optopt) + " takes no value";
        if (optopt == 0) {
          const std::string_view given = argv[optind - 1];
          return "unknown option '" + std::string(given.substr(0, given.find('='))) + "'";
        }
        return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
    }
  }
  if (optind < argc) options.input = argv[optind];
  if (argc - optind > 1) return "only one FILE may be given";
  if (!options.help && !options.version && optind == argc) return "no FILE given";
  if (options.out.empty()) return "--out needs a folder";
  return std::nullopt;
}

std::string Reason(int error) { return std::strerror(error); }

// The page is the user's own file: a link or a pipe is as good as a file.
std::string ReadInput(const std::string& input) {
  const bool standardInput = input == "-";
  const std::string shown = standardInput ? "standard input" : input;
  int fd = STDIN_FILENO;
  if (!standardInput) {
    do {
      fd = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) throw pagesift::FileError(shown, "cannot open for reading: " + Reason(errno));
  }
  std::string text;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    text.reserve(static_cast<size_t>(info.st_size));
  }
  char chunk[1 << 16];
  int error = 0;
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    text.append(chunk, static_cast<size_t>(got));
  }
  if (!standardInput) ::close(fd);
  if (error != 0) throw pagesift::FileError(shown, "cannot read: " + Reason(error));
  return text;
}

// Standard output, written whole with the system's reason kept when it
// cannot be (a full disk, a closed pipe).
class Output {
 public:
  void Line(const std::string& text) {
    buffer_ += text;
    buffer_ += '\n';
    if (buffer_.size() >= 1 << 16) Flush();
  }
  // The reason the output could not be written, or 0.
  int Flush() {
    for (std::string_view rest = buffer_; error_ == 0 && !rest.empty();) {
      const ssize_t done = ::write(STDOUT_FILENO, rest.data(), rest.size());
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) error_ = done < 0 ? errno : EIO;
      if (done > 0) rest.remove_prefix(static_cast<size_t>(done));
    }
    buffer_.clear();
    return error_;
  }

 private:
  std::string buffer_;
  int error_ = 0;
};

void PrintPair(Output& out, const pagesift::AnalysisLists& lists, size_t pair, const char* kind, bool json) {
  const auto format = json ? pagesift::FindAsJson : pagesift::FindAsTsv;
  for (size_t i = 0; i < lists.Links[pair].ListCount(); ++i) {
    out.Line(format(kind, lists.frmList[pair].List(i), lists.Links[pair].List(i)));
  }
}

// Says on standard error what a full list pair had to leave out.
void ReportDropped(const pagesift::AnalysisLists& lists, size_t pair, const char* kind) {
  const pagesift::DroppedFinds& dropped = lists.dropped[pair];
  if (dropped.atEntryLimit > 0) {
    std::cerr << "pagesift-scan: " << kind << " list full at " << pagesift::StringList::kMaxEntries
              << " entries: " << dropped.atEntryLimit << " more references not listed\n";
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
    std::cout << "pagesift-scan (PageSift) " PAGESIFT_VERSION
                 "\n"
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
  const pagesift::PageAnalysis result = pagesift::AnalysePage(
      page, [&options] { return options.url; }, options.out, lists);

  Output out;
  PrintPair(out, lists, pagesift::AnalysisLists::kImgTags, "img", options.json);
  PrintPair(out, lists, pagesift::AnalysisLists::kImageLinks, "link", options.json);
  const int outputError = out.Flush();
  if (outputError != 0) {
    std::cerr << "pagesift-scan: cannot write the finds to standard output: " << Reason(outputError) << '\n';
  }

  ReportDropped(lists, pagesift::AnalysisLists::kImgTags, "img");
  ReportDropped(lists, pagesift::AnalysisLists::kImageLinks, "link");
  for (const std::string& skipped : result.skipped) {
    std::cerr << "pagesift-scan: step skipped, its files were not (all) written: " << skipped << '\n';
  }
  return result.skipped.empty() && outputError == 0 ? 0 : 1;
}
