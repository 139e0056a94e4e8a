// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/layout_arithmetic.h"

#include <QTest>

namespace pagesift {

class LayoutArithmeticTest : public QObject {
  Q_OBJECT

 private slots:
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
