// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/splash_window.h"

#include <QPointer>
#include <QTest>

#include "platform/product_information.h"
#include "shell/mod_product_info.h"

namespace pagesift {

class SplashWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The start-up warms the engine on `painted`: it comes once, before the
  // main window is opened.
  void readsTheProductInformationAndOpensTheMainWindowOncePainted() {
    embedProductInformation({"Name", "Company", "site.test"});
    QList<int> paintsWhenOpened;
    int paints = 0;
    QPointer<frmSplash> splash = new frmSplash([&] { paintsWhenOpened.append(paints); });
    connect(splash, &frmSplash::painted, this, [&paints] { ++paints; });
    splash->Form_Load();
    QCOMPARE(modProductInfo::strProductName + modProductInfo::strCompanyName + modProductInfo::strWebsite,
             QString("NameCompanysite.test"));
    splash->show();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
    QCOMPARE(paintsWhenOpened, QList<int>{1});
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::SplashWindowTest)
#include "splash_window_test.moc"
