#include "support/website_window.h"

#include <QTest>

#include "support/auxiliary_windows.h"
#include "support/fake_browser_pane.h"

namespace pagesift {

class WebsiteWindowTest : public QObject {
  Q_OBJECT

 private:
  QStringList log_;
  int reads_ = 0;

  AuxiliaryWindows::Context context() {
    return {QString(), SettingsStore(QString()),
            [this](int index, QWidget* parent) -> BrowserPane* {
              return new test::FakeBrowserPane(index, parent, &log_);
            },
            [this] { return QStringLiteral("site.test #%1").arg(++reads_); }};
  }

 private slots:
  void init() {
    log_.clear();
    reads_ = 0;
  }

  void paneSize_data() {
    QTest::addColumn<double>("windowWidth");
    QTest::addColumn<double>("windowHeight");
    QTest::addColumn<double>("paneWidth");
    QTest::addColumn<double>("paneHeight");
    QTest::newRow("designed") << 4800.0 << 3600.0 << 4650.0 << 3200.0;
    QTest::newRow("narrower than the margin") << 100.0 << 3600.0 << 0.0 << 3200.0;
    QTest::newRow("lower than the margin") << 4800.0 << 399.0 << 4650.0 << 0.0;
  }

  void paneSize() {
    QFETCH(double, windowWidth);
    QFETCH(double, windowHeight);
    const PaneSize size = websitePaneSize(windowWidth, windowHeight);
    QTEST(double(size.width), "paneWidth");
    QTEST(double(size.height), "paneHeight");
  }

  // The window sizes its pane from its outer size on every resize.
  void paneFollowsTheWindow() {
    AuxiliaryWindows windows(context());
    windows.showWebsite();
    frmWebsite* website = windows.website();
    QVERIFY(QTest::qWaitForWindowExposed(website));
    website->resize(900, 600);
    const QSize outer = website->frameGeometry().size();
    QCOMPARE(website->WebBrowser1->widget()->geometry(),
             QRect(0, 0, outer.width() - 10, qRound((outer.height() * 15 - 400) / 15.0)));  // 150, 400 twips
  }

  // Each load reads the caption afresh and opens the website anew; a show
  // while the window lives does neither.
  void oneWindowWhileItLivesAnewAfterUnloading() {
    AuxiliaryWindows windows(context());
    windows.showWebsite();
    QPointer<frmWebsite> first = windows.website();
    windows.showWebsite();
    QCOMPARE(windows.website(), first.data());
    QCOMPARE(first->windowTitle(), QStringLiteral("site.test #1"));
    windows.unloadWebsite();
    QVERIFY(first.isNull());
    windows.showWebsite();
    QVERIFY(windows.website()->isVisible());
    QCOMPARE(windows.website()->windowTitle(), QStringLiteral("site.test #2"));
    QCOMPARE(log_, QStringList(2, QStringLiteral("wb(3).Navigate pagesift.example.org")));
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::WebsiteWindowTest)
#include "website_window_test.moc"
