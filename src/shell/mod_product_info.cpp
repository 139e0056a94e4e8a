// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/mod_product_info.h"

#include "platform/product_information.h"

namespace pagesift::modProductInfo {

QString strProductName;
QString strCompanyName;
QString strWebsite;

void ReadProductInfo() {
  const ProductInformation information = readExecutableProductInformation();
  strProductName = information.productName;
  strCompanyName = information.companyName;
  strWebsite = information.comments;
}

}  // namespace pagesift::modProductInfo
