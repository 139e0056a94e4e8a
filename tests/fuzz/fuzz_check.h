// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <cstdio>
#include <cstdlib>

namespace pagesift::fuzz {

// Ends the run with `what` when `condition` does not hold; the fuzzer keeps
// the input that did it.
inline void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace pagesift::fuzz
