// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "helpers/test_folder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "analysis/text_file.h"

namespace pagesift::test {

TestFolder::TestFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pagesift-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
}

TestFolder::~TestFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TestFolder::Read(const std::string& name) const { return ReadWholeFile(File(name)); }

void TestFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary) << bytes;
}

}  // namespace pagesift::test
