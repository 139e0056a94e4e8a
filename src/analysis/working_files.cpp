// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "analysis/working_files.h"

#include "analysis/text_file.h"
#include "common/file_exists.h"

namespace pagesift {

std::string WorkingFilePath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '/';
  path += name;
  return path;
}

void CreateMissingWorkingFiles(std::string_view folder) {
  for (std::string_view name : kWorkingFiles) {
    const std::string path = WorkingFilePath(folder, name);
    if (!FileExists(path)) {
      AppendTextLine(path, "");
    } else {
      CheckWorkingFile(path);
    }
  }
}

void ResetWorkingFiles(std::string_view folder) {
  for (std::string_view name : {kCheckImagesTxt, kCheckImagesCleanTxt, kBrowserTxt, kImagesHtm}) {
    WriteTextFile(WorkingFilePath(folder, name), "");
  }
}

}  // namespace pagesift
