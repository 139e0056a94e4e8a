#include "shell/splash_window.h"

#include <QPointer>
#include <QTest>

#include "platform/product_information.h"
#include "shell/mod_product_info.h"

namespace pagesift {

class SplashWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void readsTheProductInformationAndOpensTheMainWindow() {
    embedProductInformation({"Name", "Company", "site.test"});
    int opened = 0;
    QPointer<frmSplash> splash = new frmSplash([&opened] { ++opened; });
    splash->Form_Load();
    QCOMPARE(modProductInfo::strProductName + modProductInfo::strCompanyName + modProductInfo::strWebsite,
             QString("NameCompanysite.test"));
    splash->show();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
    QCOMPARE(opened, 1);
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::SplashWindowTest)
#include "splash_window_test.moc"
