// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "scan_output.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace pagesift {

class ScanOutputTest : public QObject {
  Q_OBJECT

 private slots:
  void escapesTheFieldSeparatorsAndBackslash_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("plain") << QByteArray("a.gif") << QByteArray("a.gif");
    QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("a\\tb");
    QTest::newRow("line breaks") << QByteArray("a\r\nb") << QByteArray("a\\r\\nb");
    QTest::newRow("backslash first") << QByteArray("\\t") << QByteArray("\\\\t");
    QTest::newRow("others as they are") << QByteArray("\"' \f\x01\xff") << QByteArray("\"' \f\x01\xff");
  }
  void escapesTheFieldSeparatorsAndBackslash() {
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, escaped);
    QCOMPARE(QByteArray::fromStdString(EscapeField(field.toStdString())), escaped);
  }

  // What a JSON reader gets back is the find, with U+FFFD for every byte that
  // is not UTF-8.
  void writesJsonThatReadsBack_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("read");
    QTest::newRow("quotes and escapes") << QByteArray("a\"b\\c\t\n\r\x01\x7f")
                                        << QStringLiteral("a\"b\\c\t\n\r\x01\x7f");
    QTest::newRow("utf-8") << QByteArray("\xc3\xa9\xe2\x82\xac\xef\xbc\x81\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf")
                           << QStringLiteral(u"é€！😀\U0010FFFF");  // the last leads of three and four bytes
    QTest::newRow("not utf-8") << QByteArray(
                                      "a\xff"
                                      "b\xc3")
                               << QStringLiteral(u"a\uFFFDb\uFFFD");
    QTest::newRow("overlong and surrogate") << QByteArray("\xc0\xaf\xed\xa0\x80") << QString(5, QChar(0xFFFD));
  }
  void writesJsonThatReadsBack() {
    QFETCH(QByteArray, name);
    QFETCH(QString, read);
    QJsonParseError error;
    const QJsonDocument json =
        QJsonDocument::fromJson(QByteArray::fromStdString(FindAsJson("img", name.toStdString(), "http://h/x")), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject find = json.object();
    QCOMPARE(find.value(QStringLiteral("list")).toString(), QStringLiteral("img"));
    QCOMPARE(find.value(QStringLiteral("name")).toString(), read);
    QCOMPARE(find.value(QStringLiteral("address")).toString(), QStringLiteral("http://h/x"));
    QCOMPARE(find.size(), 3);
  }
};

}  // namespace pagesift

QTEST_APPLESS_MAIN(pagesift::ScanOutputTest)
#include "scan_output_test.moc"
