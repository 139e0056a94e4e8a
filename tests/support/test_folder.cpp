#include "support/test_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

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

std::string TestFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + File(name));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void TestFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + File(name));
}

}  // namespace pagesift::test
