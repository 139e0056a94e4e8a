// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "analysis/text_helpers.h"

namespace pagesift {
namespace {

std::string Reason() { return std::strerror(errno); }

class Descriptor {
 public:
  Descriptor(const std::string& path, int flags, const char* doing) : path_(path) {
    CheckWorkingFile(path);
    do {
      fd_ = ::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) throw FileError(path, std::string("cannot open for ") + doing + ": " + Reason());
    // Something may have taken the file's place since it was looked at.
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      throw FileError(path, "not a regular file");
    }
  }
  // Takes over an open descriptor.
  Descriptor(const std::string& path, int fd) : path_(path), fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int fd() const { return fd_; }

  void WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) throw FileError(path_, "cannot write: " + Reason());
      bytes.remove_prefix(static_cast<size_t>(done));
    }
  }

  void Close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw FileError(path_, "cannot finish writing: " + Reason());
  }

 private:
  std::string path_;
  int fd_ = -1;
};

enum class WriteMode { kReplace, kAppend };

void WriteLine(const std::string& path, WriteMode mode, std::string_view text) {
  Descriptor file(path, O_WRONLY | O_CREAT | (mode == WriteMode::kAppend ? O_APPEND : 0), "writing");
  file.WriteAll(text);
  file.WriteAll(kCrLf);
  if (mode == WriteMode::kReplace) {
    // The new content is written over the old and the rest cut off, rather
    // than emptying the file first: the same result, without making the file
    // system flush the file on every close.
    if (::ftruncate(file.fd(), static_cast<off_t>(text.size() + kCrLf.size())) != 0) {
      throw FileError(path, "cannot write: " + Reason());
    }
  }
  file.Close();
}

}  // namespace

FileError::FileError(const std::string& path, const std::string& what)
    : std::runtime_error("'" + path + "': " + what) {}

void CheckWorkingFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return;
    throw FileError(path, "cannot look at the file: " + Reason());
  }
  if (!S_ISREG(info.st_mode)) throw FileError(path, "not a regular file");
}

std::string ReadWholeFile(const std::string& path) {
  Descriptor file(path, O_RDONLY, "reading");
  std::string text;
  struct stat info {};
  if (::fstat(file.fd(), &info) == 0 && info.st_size > 0) text.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(file.fd(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(path, "cannot read: " + Reason());
    if (got == 0) return text;
    text.append(buffer, static_cast<size_t>(got));
  }
}

void WriteTextFile(const std::string& path, std::string_view text) { WriteLine(path, WriteMode::kReplace, text); }

void ReplaceTextFile(const std::string& path, std::string_view text) {
  // A file that cannot be opened for writing keeps its content.
  Descriptor target(path, O_WRONLY | O_CREAT, "writing");
  struct stat info {};
  if (::fstat(target.fd(), &info) != 0) throw FileError(path, "cannot look at the file: " + Reason());

  const size_t slash = path.rfind('/');
  std::string temporary = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) throw FileError(temporary, "cannot create: " + Reason());
  Descriptor written(temporary, fd);
  try {
    written.WriteAll(text);
    written.WriteAll(kCrLf);
    if (::fchmod(written.fd(), info.st_mode & 07777) != 0) throw FileError(temporary, "cannot set access: " + Reason());
    written.Close();
    if (::rename(temporary.c_str(), path.c_str()) != 0) throw FileError(path, "cannot replace: " + Reason());
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
  target.Close();
}

void AppendTextLine(const std::string& path, std::string_view text) { WriteLine(path, WriteMode::kAppend, text); }

}  // namespace pagesift
