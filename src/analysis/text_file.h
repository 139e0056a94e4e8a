// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// Whole-file text I/O on the working files. Every failure throws FileError
// naming the path; the callers decide whether a failure ends their work or is
// skipped. Only regular files are read or written: a link, FIFO, device or
// folder in a file's place is a file that cannot be opened.

#include <stdexcept>
#include <string>
#include <string_view>

namespace pagesift {

class FileError : public std::runtime_error {
 public:
  FileError(const std::string& path, const std::string& what);
};

// Throws FileError when something other than a regular file stands at
// `path` (a link, FIFO, device or folder); a missing file is fine. Never
// opens the path.
void CheckWorkingFile(const std::string& path);

std::string ReadWholeFile(const std::string& path);

// Opens the file for output (creating it or replacing its content), writes
// `text` followed by CR LF and closes it.
void WriteTextFile(const std::string& path, std::string_view text);

// The same, for a file that is shown while it is replaced: the text is
// written beside it and then put in its place, so the file is always either
// whole or as it was. A file that cannot be opened for writing keeps its
// content.
void ReplaceTextFile(const std::string& path, std::string_view text);

// Opens the file for appending (creating it when missing), writes `text`
// followed by CR LF and closes it.
void AppendTextLine(const std::string& path, std::string_view text);

}  // namespace pagesift
