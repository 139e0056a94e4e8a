#pragma once

#include <QAction>
#include <QPointer>
#include <QString>

namespace pagesift {

// Adds the program to the system web browser's Tools menu and toolbar, and
// removes it again, through the machine-wide registry. Nothing is ever
// reported: whatever the registry did, adding disables the Add item and
// enables the Remove item, removing the reverse.
class IETOOLS {
 public:
  // addItem and removeItem are the Tools menu's items 0 and 1.
  IETOOLS(QString programFolder, QString productName, QAction* addItem, QAction* removeItem);

  void AddToToolsMenu();
  void RemoveFromToolsMenu();

  // Empty until the first AddToToolsMenu, then kept.
  QString strHotIconPath, strIconPath, strExecPath;

 private:
  QString programFolder_;
  QString productName_;
  QPointer<QAction> addItem_;
  QPointer<QAction> removeItem_;
};

}  // namespace pagesift
