// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "app/engine_output.h"

#include <QLoggingCategory>
#include <QTest>

namespace pagesift {

class EngineOutputTest : public QObject {
  Q_OBJECT

 private slots:
  // The engine's own log is cut to fatal lines unless the user chose a log
  // level, in the environment or in the engine arguments.
  void leavesALogLevelTheUserChose_data() {
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("none") << QByteArray() << QStringList() << QByteArray("--log-level=3 ");
    QTest::newRow("other flags kept") << QByteArray("--disable-gpu") << QStringList{QStringLiteral("--no-proxy-server")}
                                      << QByteArray("--log-level=3 --disable-gpu");
    QTest::newRow("level in the flags") << QByteArray("--disable-gpu --log-level=0") << QStringList()
                                        << QByteArray("--disable-gpu --log-level=0");
    QTest::newRow("logging in the flags")
        << QByteArray("--enable-logging=stderr") << QStringList() << QByteArray("--enable-logging=stderr");
    QTest::newRow("level in the arguments")
        << QByteArray("--disable-gpu") << QStringList{QStringLiteral("--x"), QStringLiteral("--log-level=1")}
        << QByteArray("--disable-gpu");
    QTest::newRow("logging in the arguments")
        << QByteArray() << QStringList{QStringLiteral("--enable-logging")} << QByteArray();
  }
  void leavesALogLevelTheUserChose() {
    QFETCH(QByteArray, flags);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, after);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    limitEngineOutput(false, arguments);
    QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), after);
  }

  void pagesConsoleOnlyWhenAskedFor() {
    const QLoggingCategory console("js");
    limitEngineOutput(false, {});
    QVERIFY(!console.isWarningEnabled());
    limitEngineOutput(true, {});
    QVERIFY(console.isWarningEnabled());
  }
};

}  // namespace pagesift

QTEST_APPLESS_MAIN(pagesift::EngineOutputTest)
#include "engine_output_test.moc"
