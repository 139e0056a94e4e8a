// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QAction>
#include <QPointer>
#include <QString>

#include <functional>

namespace pagesift {

// Adds the program to the system web browser's Tools menu and toolbar, and
// removes it again, through the machine-wide registry. The Tools menu's
// items follow what the registry holds: adding that succeeded disables the
// Add item and enables the Remove item, removing the reverse; when the
// registry cannot be written the items stay and `report` (when given) is
// told why, in a sentence for the user.
class IETOOLS {
 public:
  using Report = std::function<void(const QString& message)>;

  // addItem and removeItem are the Tools menu's items 0 and 1.
  IETOOLS(QString programFolder, QString productName, QAction* addItem, QAction* removeItem, Report report = {});

  void AddToToolsMenu();
  void RemoveFromToolsMenu();

  // Empty until the first AddToToolsMenu, then kept.
  QString strHotIconPath, strIconPath, strExecPath;

 private:
  void switchItems(bool added);
  void fail(const QString& message) const;

  QString programFolder_;
  QString productName_;
  QPointer<QAction> addItem_;
  QPointer<QAction> removeItem_;
  Report report_;
};

}  // namespace pagesift
