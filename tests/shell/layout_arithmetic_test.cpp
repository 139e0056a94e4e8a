#include "shell/layout_arithmetic.h"

#include <QTest>

namespace pagesift {

class LayoutArithmeticTest : public QObject {
  Q_OBJECT

 private slots:
  void designedWindow() {
    const Layout l = computeLayout({.windowWidth = 12255, .windowHeight = 12015, .statusBarTop = 10785});
    const QList<double> tabStrip = {l.tabStrip.left, l.tabStrip.top, l.tabStrip.width, l.tabStrip.height};
    const QList<double> pane = {l.pane.left, l.pane.top, l.pane.width, l.pane.height};
    const QList<double> progress = {l.progressBar.left, l.progressBar.top, l.progressBar.width, l.progressBar.height};
    QCOMPARE(tabStrip, (QList<double>{25, 960, 12205, 9940}));
    QCOMPARE(pane, (QList<double>{125, 1360, 11955, 9440}));
    QCOMPARE((QList<double>{l.panel1Width, l.panel2Width}), (QList<double>{9191.25, 8891.25}));
    QCOMPARE(progress, (QList<double>{9241.25, 10775, 8791.25, 295}));
    QCOMPARE((QList<double>{l.addressWidth, l.websiteButtonWidth, l.goButtonLeft}), (QList<double>{10420, 8805, 11010}));
  }

  void tinyWindows_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QList<double>>("tabPaneProgress");  // tab strip height, pane height, progress bar width
    // Below the menu and status bar the tab strip's height turns round and grows again.
    QTest::newRow("just fits") << 3000.0 << 2075.0 << QList<double>{0, 500, 1850};
    QTest::newRow("too low") << 3000.0 << 1075.0 << QList<double>{1000, 500, 1850};
    QTest::newRow("progress width held at 0") << 400.0 << 2075.0 << QList<double>{0, 500, 0};
    QTest::newRow("no size at all") << 0.0 << 0.0 << QList<double>{2075, 1575, 200};
  }

  void tinyWindows() {
    QFETCH(double, width);
    QFETCH(double, height);
    const Layout l = computeLayout({.windowWidth = width, .windowHeight = height, .statusBarTop = 0});
    QTEST((QList<double>{l.tabStrip.height, l.pane.height, l.progressBar.width}), "tabPaneProgress");
    for (double value : {l.tabStrip.width, l.pane.width, l.panel2Width, l.addressWidth, l.websiteButtonWidth}) {
      QVERIFY(value >= 0);
    }
  }
};

}  // namespace pagesift

QTEST_APPLESS_MAIN(pagesift::LayoutArithmeticTest)
#include "layout_arithmetic_test.moc"
