// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/product_information.h"

#include <QCoreApplication>
#include <QVariant>

namespace pagesift {
namespace {

constexpr const char* kCommentsProperty = "pagesiftComments";

}  // namespace

void embedProductInformation(const ProductInformation& information) {
  QCoreApplication::setApplicationName(information.productName);
  QCoreApplication::setOrganizationName(information.companyName);
  if (QCoreApplication* app = QCoreApplication::instance()) app->setProperty(kCommentsProperty, information.comments);
}

ProductInformation readExecutableProductInformation() {
  ProductInformation information;
  information.productName = QCoreApplication::applicationName();
  information.companyName = QCoreApplication::organizationName();
  if (const QCoreApplication* app = QCoreApplication::instance()) {
    information.comments = app->property(kCommentsProperty).toString();
  }
  return information;
}

}  // namespace pagesift
