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
  void escapesTheFieldSeparatorsAndBackslash() {
    const std::pair<const char*, const char*> cases[] = {
        {"a\tb", "a\\tb"},
        {"a\r\nb", "a\\r\\nb"},
        {"\\t", "\\\\t"},                      // the backslash first
        {"\"' \f\x01\xff", "\"' \f\x01\xff"},  // every other byte as it is
    };
    for (const auto& [field, escaped] : cases) QCOMPARE(QByteArray::fromStdString(EscapeField(field)), escaped);
  }

  // What a JSON reader gets back is the find, with U+FFFD for every byte that
  // is not UTF-8.
  void writesJsonThatReadsBack() {
    const std::pair<QByteArray, QString> cases[] = {
        {"a\"b\\c\t\n\r\x01\x7f", QStringLiteral("a\"b\\c\t\n\r\x01\x7f")},
        // the last leads of three and four bytes
        {"\xc3\xa9\xe2\x82\xac\xef\xbc\x81\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf", QStringLiteral(u"é€！😀\U0010FFFF")},
        {"\xffz\xc3", QStringLiteral(u"\uFFFDz\uFFFD")},      // a stray byte, a lead cut off at the end
        {"\xc0\xaf\xed\xa0\x80", QString(5, QChar(0xFFFD))},  // overlong and surrogate
    };
    for (const auto& [name, read] : cases) {
      QJsonParseError error;
      const QJsonObject find =
          QJsonDocument::fromJson(QByteArray::fromStdString(FindAsJson("img", name.toStdString(), "http://h/x")),
                                  &error)
              .object();
      QCOMPARE(error.error, QJsonParseError::NoError);
      QCOMPARE(find.value(QStringLiteral("list")).toString(), QStringLiteral("img"));
      QCOMPARE(find.value(QStringLiteral("name")).toString(), read);
      QCOMPARE(find.value(QStringLiteral("address")).toString(), QStringLiteral("http://h/x"));
      QCOMPARE(find.size(), 3);
    }
  }
};

}  // namespace pagesift

QTEST_APPLESS_MAIN(pagesift::ScanOutputTest)
#include "scan_output_test.moc"
