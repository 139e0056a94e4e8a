// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/page_dialogs.h"

#include <QTest>

namespace pagesift {

class PageDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // Silenced on http://a.test/p?1#top: what ends the silence.
  void silenceEnds_data() {
    QTest::addColumn<QString>("loading");  // empty: the user asks for a page
    QTest::addColumn<bool>("silenced");
    QTest::newRow("the page reloading") << "http://a.test/p?1" << true;
    QTest::newRow("another page of the site") << "http://a.test/other" << true;
    QTest::newRow("another site") << "http://b.test/p" << false;
    QTest::newRow("another port") << "http://a.test:81/p" << false;
    QTest::newRow("another scheme") << "https://a.test/p" << false;
    QTest::newRow("the user asks") << "" << false;
  }

  void silenceEnds() {
    QFETCH(QString, loading);
    PageDialogGate gate;
    QVERIFY(!gate.silenced());
    gate.silence(QUrl("http://a.test/p?1#top"));
    QVERIFY(gate.silenced());
    loading.isEmpty() ? gate.lift() : gate.mainFrameLoading(QUrl(loading));
    QTEST(gate.silenced(), "silenced");
  }
};

}  // namespace pagesift

QTEST_APPLESS_MAIN(pagesift::PageDialogsTest)
#include "page_dialogs_test.moc"
