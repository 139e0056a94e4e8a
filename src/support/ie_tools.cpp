// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/ie_tools.h"

#include <utility>

#include "support/c_register.h"

namespace pagesift {
namespace {

// The program's own browser extension.
const QLatin1String kExtensionKey(
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{ECC5777A-6E88-BFCE-13CE-81F134789E7B}");

}  // namespace

IETOOLS::IETOOLS(QString programFolder, QString productName, QAction* addItem, QAction* removeItem, Report report)
    : programFolder_(std::move(programFolder)),
      productName_(std::move(productName)),
      addItem_(addItem),
      removeItem_(removeItem),
      report_(std::move(report)) {}

void IETOOLS::AddToToolsMenu() {
  strHotIconPath = programFolder_ + QStringLiteral("/hoticon.ico");
  strIconPath = programFolder_ + QStringLiteral("/icon.ico");
  strExecPath = programFolder_ + u'/' + productName_;
  const QList<std::pair<QString, QString>> values = {
      {QStringLiteral("ButtonText"), productName_},
      {QStringLiteral("CLSID"), QStringLiteral("{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")},
      {QStringLiteral("Default Visible"), QStringLiteral("Yes")},
      {QStringLiteral("Exec"), strExecPath},
      {QStringLiteral("HotIcon"), strHotIconPath},
      {QStringLiteral("Icon"), strIconPath},
      {QStringLiteral("MenuStatusBar"), productName_},
      {QStringLiteral("MenuText"), u'&' + productName_},
  };
  // One change of the registry file, all eight values or none.
  QString error;
  if (CRegister::SetValues(CRegister::HKEY_LOCAL_MACHINE, kExtensionKey, values, &error) != CRegister::kTrue) {
    fail(QStringLiteral("Tools menu registration not written: ") + error);
    return;
  }
  switchItems(true);
}

void IETOOLS::RemoveFromToolsMenu() {
  // A registration that is not there is as good as removed.
  QString error;
  CRegister::DeleteEntry(CRegister::HKEY_LOCAL_MACHINE, kExtensionKey, QString(), &error);
  if (!error.isEmpty()) {
    fail(QStringLiteral("Tools menu registration not removed: ") + error);
    return;
  }
  switchItems(false);
}

void IETOOLS::switchItems(bool added) {
  if (addItem_) addItem_->setEnabled(!added);
  if (removeItem_) removeItem_->setEnabled(added);
}

void IETOOLS::fail(const QString& message) const {
  if (report_) report_(message);
}

}  // namespace pagesift
