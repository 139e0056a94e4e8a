// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QString>

// The product name, company name and website text the program shows, read
// once at start from the executable's version information.
namespace pagesift::modProductInfo {

extern QString strProductName;
extern QString strCompanyName;
extern QString strWebsite;

// Reads the three strings (again, when called again).
void ReadProductInfo();

}  // namespace pagesift::modProductInfo
