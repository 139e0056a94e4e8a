// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/settings_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace pagesift {

class SettingsStoreTest : public QObject {
  Q_OBJECT

  QTemporaryDir config_;

 private slots:
  void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); }

  // Only a whole number in range is taken; anything else is the default.
  void readsTheLargestImageSize_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mebibytes");
    QTest::newRow("absent") << QString() << kMaxImageSizeDefault;
    QTest::newRow("blanks around") << QStringLiteral(" 16 ") << 16;
    QTest::newRow("smallest") << QStringLiteral("1") << 1;
    QTest::newRow("largest") << QStringLiteral("1048576") << 1048576;
    QTest::newRow("zero") << QStringLiteral("0") << kMaxImageSizeDefault;
    QTest::newRow("past the largest") << QStringLiteral("1048577") << kMaxImageSizeDefault;
    QTest::newRow("negative") << QStringLiteral("-5") << kMaxImageSizeDefault;
    QTest::newRow("not a number") << QStringLiteral("12MB") << kMaxImageSizeDefault;
  }
  void readsTheLargestImageSize() {
    QFETCH(QString, stored);
    QFETCH(int, mebibytes);
    SettingsStore store(QStringLiteral("Sizes"));
    QVERIFY(QFile::remove(store.filePath()) || !QFile::exists(store.filePath()));
    if (!stored.isNull()) QVERIFY(store.write(kSettingsSection, kMaxImageSizeKey, stored));
    QCOMPARE(readMaxImageSizeMiB(store), mebibytes);
  }

  // A settings file that cannot be written says so.
  void aWriteThatFailsSaysSo() {
    QFile blocker(config_.filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(QStringLiteral("blocked/Program"));
    QVERIFY(!store.write(kSettingsSection, kShowHelpKey, QStringLiteral("0")));
    QCOMPARE(store.read(kSettingsSection, kShowHelpKey, QStringLiteral("absent")), QStringLiteral("absent"));
  }
};

}  // namespace pagesift

QTEST_APPLESS_MAIN(pagesift::SettingsStoreTest)
#include "settings_store_test.moc"
