// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/website_window.h"

#include <QTest>

#include "helpers/fake_browser_pane.h"
#include "support/auxiliary_windows.h"

namespace pagesift {

class WebsiteWindowTest : public QObject {
  Q_OBJECT

 private slots:
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

  // Each load reads the caption afresh and opens the website anew; a show
  // while the window lives does neither.
  void oneWindowWhileItLivesAnewAfterUnloading() {
    QStringList log;
    int reads = 0;
    AuxiliaryWindows windows({QString(), SettingsStore(QString()),
                              [&log](int index, PaneRole, QWidget* parent) -> BrowserPane* {
                                return new test::FakeBrowserPane(index, parent, &log);
                              },
                              [&reads] { return QString("site.test #%1").arg(++reads); }});
    windows.showWebsite();
    QPointer<frmWebsite> first = windows.website();
    windows.showWebsite();
    QCOMPARE(windows.website(), first.data());
    QCOMPARE(first->windowTitle(), "site.test #1");
    windows.unloadWebsite();
    QVERIFY(first.isNull());
    windows.showWebsite();
    QVERIFY(windows.website()->isVisible());
    QCOMPARE(windows.website()->windowTitle(), "site.test #2");
    QCOMPARE(log, QStringList(2, "wb(3).Navigate pagesift.example.org"));
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::WebsiteWindowTest)
#include "website_window_test.moc"
