// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QString>

namespace pagesift {

// The executable's version information: what the build embedded.
struct ProductInformation {
  QString productName;
  QString companyName;
  QString comments;  // the website text
};

// Puts the product information where the program reads it at run time (the
// application object). main() passes the values the build embedded; tests
// pass their own.
void embedProductInformation(const ProductInformation& information);

ProductInformation readExecutableProductInformation();

}  // namespace pagesift
