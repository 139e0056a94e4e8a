// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// One page's analysis, from the captured body HTML to the two generated
// views. Every step that fails is skipped and the next one runs; a failure
// inside a step abandons the rest of that step only.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/string_list.h"

namespace pagesift {

struct PageAnalysis {
  std::string sourcePage;            // the Source Code view's file
  std::string imagePage;             // the Images view's file
  std::vector<std::string> skipped;  // one line for every step that failed
};

// `capturedBody` is the outer HTML of the page's body, or nothing when the
// capture failed. `browserLocation` gives the Browser view's address; it is
// asked afresh for each of the two scans. The working files live in `folder`;
// `lists` receives the finds and keeps them until the next run.
PageAnalysis AnalysePage(const std::optional<std::string>& capturedBody,
                         const std::function<std::string()>& browserLocation, const std::string& folder,
                         AnalysisLists& lists);

}  // namespace pagesift
