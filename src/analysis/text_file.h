#pragma once

// Whole-file text I/O. Every failure throws FileError naming the path; the
// callers decide whether a failure ends their work or is skipped.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pagesift {

class FileError : public std::runtime_error {
 public:
  FileError(const std::string& path, const std::string& what);
};

std::string ReadWholeFile(const std::string& path);

// The file's lines (see SplitTextLines).
std::vector<std::string> ReadTextLines(const std::string& path);

// Opens the file for output (creating it or replacing its content), writes
// `text` followed by CR LF and closes it.
void WriteTextFile(const std::string& path, std::string_view text);

// Opens the file for appending (creating it when missing), writes `text`
// followed by CR LF and closes it.
void AppendTextLine(const std::string& path, std::string_view text);

}  // namespace pagesift
