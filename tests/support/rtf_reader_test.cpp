// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/rtf_reader.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QStringList>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace pagesift {
namespace {

// The blocks' text joined by "\n"; unlike toPlainText() it keeps line
// separators and non-breaking spaces as they are.
QString Text(const QTextDocument& document) {
  QStringList blocks;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) blocks.append(block.text());
  return blocks.join(QLatin1Char('\n'));
}

QString Describe(const QTextCharFormat& f) {
  QStringList parts;
  if (f.fontWeight() >= QFont::Bold) parts << "b";
  if (f.fontItalic()) parts << "i";
  if (f.fontUnderline()) parts << "u";
  if (f.verticalAlignment() != QTextCharFormat::AlignNormal) parts << QString("valign=%1").arg(f.verticalAlignment());
  if (!f.fontFamilies().toStringList().isEmpty()) parts << f.fontFamilies().toStringList().join(QLatin1Char(','));
  if (f.hasProperty(QTextFormat::FontStyleHint)) parts << QString("hint=%1").arg(f.fontStyleHint());
  parts << QString::number(f.fontPointSize()) + "pt";
  if (f.hasProperty(QTextFormat::ForegroundBrush)) parts << f.foreground().color().name();
  if (f.hasProperty(QTextFormat::BackgroundBrush)) parts << "on " + f.background().color().name();
  return parts.join(QLatin1Char(' '));
}

QString Describe(const QTextBlockFormat& f) {
  QStringList parts;
  if (f.alignment() != Qt::AlignLeft) parts << QString("align=%1").arg(int(f.alignment()));
  const std::pair<const char*, qreal> margins[] = {{"left", f.leftMargin()},
                                                   {"right", f.rightMargin()},
                                                   {"indent", f.textIndent()},
                                                   {"top", f.topMargin()},
                                                   {"bottom", f.bottomMargin()}};
  for (const auto& [name, value] : margins) {
    if (value != 0) parts << QString("%1=%2").arg(QLatin1String(name)).arg(value);
  }
  for (const QTextOption::Tab& tab : f.tabPositions()) parts << QString("tab=%1").arg(tab.position);
  return parts.join(QLatin1Char(' '));
}

// The document's outline: blocks, characters (paragraph ends not counted),
// runs (fragments in a format other than the one before), and whether the
// last character is plain text (no formatting of its own).
struct Outline {
  int blocks = 0;
  qsizetype characters = 0;
  int runs = 0;
  bool plainEnd = false;
};

Outline OutlineOf(const QTextDocument& document) {
  Outline outline{document.blockCount()};
  QTextCharFormat previous;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      outline.characters += fragment.length();
      if (outline.runs == 0 || fragment.charFormat() != previous) ++outline.runs;
      previous = fragment.charFormat();
    }
  }
  outline.plainEnd = outline.runs > 0 && !previous.hasProperty(QTextFormat::FontPointSize);
  return outline;
}

}  // namespace

class RtfReaderTest : public QObject {
  Q_OBJECT

 private slots:
  // Each row: its name, the input, the text ("kept": refused, the document
  // keeps its text) and, for the first character of `probe`, its character
  // and paragraph formats.
  void reads() {
    QList<std::tuple<const char*, QByteArray, QString, const char*, const char*, const char*>> rows;
    auto row = [&rows](const char* name, const QByteArray& rtf, const QString& text, const char* probe = "",
                       const char* chars = "", const char* block = "") {
      rows.append({name, rtf, text, probe, chars, block});
    };
    // Character formatting, group scoping and resets.
    row("bold off", "{\\rtf1 \\b a\\b0 B}", "aB", "B", "12pt");
    row("ul0 keeps italic", "{\\rtf1 \\i\\ul a\\ul0 B}", "aB", "B", "i 12pt");
    row("ulnone", "{\\rtf1 \\ul a\\ulnone B}", "aB", "B", "12pt");
    row("plain resets", "{\\rtf1 \\b\\i\\fs40 a\\plain B}", "aB", "B", "12pt");
    row("group inside", "{\\rtf1 a{\\b b{\\i c}D}e}", "abcDe", "D", "b 12pt");
    row("font size clamped", "{\\rtf1 \\fs99999999999999999999 A}", "A", "A", "144pt");
    row("font size at least 6 pt", "{\\rtf1 \\fs3 A}", "A", "A", "6pt");
    row("fs0 is the default size", "{\\rtf1 \\fs40 a\\fs0 B}", "aB", "B", "12pt");
    row("font table", "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fscript Brush Script;}}\\f1 A}", "A", "A",
        "Brush Script hint=6 12pt");
    row("default font", "{\\rtf1\\deff1{\\fonttbl\\f0 Aa;\\f1\\fnil Bee;}A}", "A", "A", "Bee hint=5 12pt");
    row("colour", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\cf2 A}", "A", "A",
        "12pt #0000ff");
    row("colour auto", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 a\\cf0 B}", "aB", "B", "12pt");
    row("at most 4,096 colours", "{\\rtf1{\\colortbl" + QByteArray(4096, ';') + "\\red255;}\\cf4096 A}", "A", "A",
        "12pt");
    row("hidden", "{\\rtf1 a{\\v hidden}b}", "ab");
    row("struck out, hidden off", "{\\rtf1 \\strike a\\strike0\\v h\\v0 B}", "aB", "B", "12pt");
    // Paragraph formatting (15 twips a pixel).
    row("centred", "{\\rtf1\\qc A\\par}", "A\n", "A", "12pt", "align=4");
    row("indents", "{\\rtf1\\li300\\ri150\\fi-150\\sb30\\sa60 A}", "A", "A", "12pt",
        "left=20 right=10 indent=-10 top=2 bottom=4 tab=10");
    row("tab stop", "{\\rtf1\\li300\\tx1500\\tx3000\\tx1500 A}", "A", "A", "12pt", "left=20 tab=80 tab=180");
    row("pard resets", "{\\rtf1\\qc\\li300 a\\par\\pard B}", "a\nB", "B", "12pt", "");
    row("paragraph keeps its end's format", "{\\rtf1 A\\qc\\par b}", "A\nb", "A", "12pt", "align=4");
    // Characters.
    row("breaks", "{\\rtf1 a\\par b\\line c\\tab d\\\nE}", "a\nb\u2028c\td\nE");
    row("cr lf ignored", "{\\rtf1 a\r\nb\r}", "ab");
    row("escapes", "{\\rtf1 \\{\\}\\\\\\~\\_\\-\\\tx}", "{}\\\u00A0\u2011\u00AD\tx");
    row("named", "{\\rtf1\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
        "\u2014\u2013\u2022\u2018\u2019\u201C\u201D");
    row("code page", "{\\rtf1 \\'93q\\'94 \\'80\\'e9\\'9f\\'8d caf\xe9 \\'CFe\\'zb}",
        "\u201Cq\u201D \u20AC\u00E9\u0178\u008D caf\u00E9 \u00CFezb");
    row("unicode", "{\\rtf1 \\u8364?x\\u32?y\\u-3913?}", "\u20ACx y\uF0B7");
    row("uc2, uc0", "{\\rtf1\\uc2\\u8364\\'80\\'80x\\uc0\\u233 y}", "\u20ACx\u00E9y");
    row("uc is group scoped", "{\\rtf1{\\uc2 \\u233 ab}\\u233 ab}", "\u00E9\u00E9b");
    row("fallback ends at brace", "{\\rtf1\\uc3\\u233{x}}", "\u00E9x");
    row("line ends are no fallback", "{\\rtf1 \\u8364\r\n?x}", "\u20ACx");
    row("document's own marks", "{\\rtf1 a\\u8233?b\\u10?\\u64976?\\u65532?\\u-1?c}", "a\nb\uFFFD\uFFFD\uFFFFc");
    row("surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "\U0001F600");
    row("symbol font bullet", "{\\rtf1{\\fonttbl{\\f3\\fcharset2 Symbol;}}{\\f3\\'b7\\u-3913?}}", "\u2022\u2022");
    // Destinations.
    row("skipped destinations",
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s0 Normal;}}"
        "{\\info{\\title T}}{\\*\\generator G;}{\\pict\\pngblip 89504e}{\\*\\unknown u}{\\header h}"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}} text}",
        "link text");
    row("list text", "{\\rtf1{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}{\\pn x}{\\pntext\\bullet\\tab}item}", "\u2022\titem");
    row("bin", "{\\rtf1 a{\\pict\\bin3 }}}}b}", "ab");
    const QString word(64, u'x');
    row("long word broken every 64 characters", "{\\rtf1 \\b " + QByteArray(150, 'x') + " x}",
        word + u'\u200B' + word + u'\u200B' + QString(22, u'x') + " x", "x", "b 12pt");
    row("unknown words", "{\\rtf1 a\\foobar12 b\\abcdefghijklmnopqrstuvwxyzabcdefghijk c}", "abc");
    // Malformed and truncated input.
    row("truncated group", "{\\rtf1 {\\b abc", "abc");
    row("truncated bin", "{\\rtf1 a\\bin999 xyz", "a");
    row("after the end", "{\\rtf1 a}}}b{", "a");
    row("star at top", "{\\rtf1\\*a}", "a");
    const QByteArray deep(100000, '{'), deepEnd(100000, '}');
    row("deep nesting", "{\\rtf1 " + deep + "\\b x" + deepEnd + "y}", "xy", "y", "12pt");
    row("deep nesting unclosed", "{\\rtf1 x" + deep, "x");
    // Not rich text.
    row("truncated magic", "{\\rt", "kept");
    row("leading blank", " {\\rtf1 x}", "kept");
    for (const auto& [name, rtf, text, probe, chars, block] : rows) {
      QTextDocument document("kept");
      QVERIFY2(ReadRtf(rtf, document) == (text != "kept"), name);
      QString got = Text(document), expected = text;
      if (*probe) {
        QTextCursor cursor(&document);
        cursor.setPosition(document.find(probe, 0, QTextDocument::FindCaseSensitively).selectionStart() + 1);
        got += " | " + Describe(cursor.charFormat()) + " | " + Describe(cursor.blockFormat());
        expected += QString(" | %1 | %2").arg(chars, block);
      }
      QCOMPARE(name + (": " + got), name + (": " + expected));
    }
    // An empty paragraph is as tall as its mark, which takes the format at its end.
    QTextDocument empty;
    QVERIFY(ReadRtf("{\\rtf1 a\\par\\fs48\\par b}", empty));
    QCOMPARE(empty.findBlockByNumber(1).charFormat().fontPointSize(), 24.0);
  }

  // What the reader builds is bounded, and nothing within the bounds is
  // lost. Every document it builds lays out below the height at which Qt's
  // layout without a page height never ends (8,388,607 px, seen on Qt 6.4).
  void bounds() {
    // 12 paragraphs of 9,000 runs: the 100,000 runs and paragraphs are the
    // first 11 paragraphs' 99,011 and 989 runs of the last; its rest goes in
    // a plain paragraph of its own.
    const QByteArray paragraph = QByteArray("\\b a \\b0 b ").repeated(4500);
    QList<std::tuple<const char*, QByteArray, QString>> rows;  // blocks, characters, runs and a plain end
    const auto row = [&rows](const char* name, const QByteArray& body, int blocks, qsizetype characters, int runs,
                             bool plainEnd) {
      rows.append(
          {name, "{\\rtf1" + body + "}", QString("%1 %2 %3 %4").arg(blocks).arg(characters).arg(runs).arg(plainEnd)});
    };
    row("100,000 runs, the rest plain", " " + (paragraph + "\\par ").repeated(11) + paragraph, 13, 216000, 99990, true);
    row("the 100,000th run, the first plain, ends a paragraph",
        " " + (QByteArray("b \\b a \\b0 ").repeated(4545) + "\\par ").repeated(11) + "x", 12, 199981, 99991, true);
    row("paragraph cut at 10,000 runs, the first in the last paragraph's format",
        " \\b a\\par " + QByteArray("\\b a \\b0 b ").repeated(6000), 3, 24001, 10001, true);
    row("a table change starts a run",
        " " + QByteArray("\\b a \\b0 b ").repeated(5000) + QByteArray(65536, ' ') + "\\deff0 c", 2, 85537, 10001, true);
    row("paragraph cut at 10,000 line breaks and tabs, its plain rest too",
        "\\b " + QByteArray("a\\line ").repeated(12500) + QByteArray("a\\tab ").repeated(12500), 3, 50000, 2, true);
    row("paragraph cut at 1,000,000 characters, the document at 2,000,000",
        "\\b " + QByteArray("abcd ").repeated(500000), 2, 2000000, 2, true);
    row("144 pt text cut to the height at 96 dpi", "\\fs288 " + QByteArray("abcd ").repeated(20000), 1, 17066, 1,
        false);
    for (const auto& [name, rtf, outline] : rows) {
      QTextDocument document;
      QVERIFY2(ReadRtf(rtf, document), name);
      const Outline got = OutlineOf(document);
      QCOMPARE(name + QString(": %1 %2 %3 %4").arg(got.blocks).arg(got.characters).arg(got.runs).arg(got.plainEnd),
               name + (": " + outline));
      document.setTextWidth(665);
      QVERIFY2(document.documentLayout()->documentSize().height() < 8388607, name);
    }
  }

  void shippedHelp() {
    QFile file(QStringLiteral(PAGESIFT_RESOURCES "/Help.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (char c : bytes) QVERIFY(c > 0);  // plain ASCII, escapes for the rest
    QTextDocument document;
    QVERIFY(ReadRtf(bytes, document));
    for (const char* phrase : {"PageSift Help", "Send Page to Browser Tab", "Show at Startup", "showHelp"}) {
      QVERIFY2(Text(document).contains(QLatin1String(phrase)), phrase);
    }
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::RtfReaderTest)
#include "rtf_reader_test.moc"
