#include "support/ie_tools.h"

#include <utility>

#include "support/c_register.h"

namespace pagesift {
namespace {

// The program's own browser extension.
const QLatin1String kExtensionKey(
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{ECC5777A-6E88-BFCE-13CE-81F134789E7B}");

void setEnabled(QAction* item, bool enabled) {
  if (item) item->setEnabled(enabled);
}

}  // namespace

IETOOLS::IETOOLS(QString programFolder, QString productName, QAction* addItem, QAction* removeItem)
    : programFolder_(std::move(programFolder)),
      productName_(std::move(productName)),
      addItem_(addItem),
      removeItem_(removeItem) {}

void IETOOLS::AddToToolsMenu() {
  strHotIconPath = programFolder_ + QStringLiteral("/hoticon.ico");
  strIconPath = programFolder_ + QStringLiteral("/icon.ico");
  strExecPath = programFolder_ + u'/' + productName_;
  const std::pair<QLatin1String, QString> values[] = {
      {QLatin1String("ButtonText"), productName_},
      {QLatin1String("CLSID"), QStringLiteral("{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")},
      {QLatin1String("Default Visible"), QStringLiteral("Yes")},
      {QLatin1String("Exec"), strExecPath},
      {QLatin1String("HotIcon"), strHotIconPath},
      {QLatin1String("Icon"), strIconPath},
      {QLatin1String("MenuStatusBar"), productName_},
      {QLatin1String("MenuText"), u'&' + productName_},
  };
  // Each write stands alone: one that fails does not stop the others.
  for (const auto& [name, text] : values) {
    CRegister::SetValue(CRegister::HKEY_LOCAL_MACHINE, kExtensionKey, name, text);
  }
  setEnabled(addItem_, false);
  setEnabled(removeItem_, true);
}

void IETOOLS::RemoveFromToolsMenu() {
  CRegister::DeleteEntry(CRegister::HKEY_LOCAL_MACHINE, kExtensionKey, QString());
  setEnabled(removeItem_, false);
  setEnabled(addItem_, true);
}

}  // namespace pagesift
