#include "shell/splash_window.h"

#include <QPointer>
#include <QTest>

#include "platform/product_information.h"
#include "shell/mod_product_info.h"

namespace pagesift {

class SplashWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void readsTheProductInformation() {
    embedProductInformation({"Name", "Company", "site.test"});
    QPointer<frmSplash> splash = new frmSplash([] {});
    splash->Form_Load();
    QCOMPARE(modProductInfo::strProductName, QString("Name"));
    QCOMPARE(modProductInfo::strCompanyName, QString("Company"));
    QCOMPARE(modProductInfo::strWebsite, QString("site.test"));
    delete splash;
  }

  void opensTheMainWindowOnTheFourthTickThenGoes() {
    QList<int> ticksWhenOpened;
    QPointer<frmSplash> splash;
    splash = new frmSplash([&] { ticksWhenOpened.append(splash->ticks()); });
    QCOMPARE(splash->size(), QSize(476, 313));
    splash->Form_Load();
    splash->show();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
    QCOMPARE(ticksWhenOpened, QList<int>{3});  // ticks 1 to 3 only counted
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::SplashWindowTest)
#include "splash_window_test.moc"
