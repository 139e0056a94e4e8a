// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "common/file_exists.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "helpers/test_folder.h"

namespace pagesift {
namespace {

TEST(FileExists, FindsNormalFilesByTheirExactName) {
  test::TestFolder folder;
  folder.Write("source.htm", "x");
  folder.Write(".hidden.txt", "x");
  folder.Write("sourc", "x");  // comes first, and the name is not all of the pattern
  std::filesystem::create_directory(folder.File("sub.htm"));

  struct Case {
    std::string path;
    bool exists;
  } cases[] = {
      {folder.File("source.htm"), true},   {folder.File("SOURCE.HTM"), false},  // file names are case-sensitive here
      {folder.File("missing.htm"), false}, {folder.File("sub.htm"), false},     // a folder is not a file
      {folder.File(".hidden.txt"), false},                                      // hidden files are not listed
      {folder.File("*.htm"), false},                                            // the first match is not named "*.htm"
      {folder.path() + "/", false},        {folder.path() + "/no-such-folder/source.htm", false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
}

}  // namespace
}  // namespace pagesift
