// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/rtf_reader.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QList>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <string_view>

#include "platform/twips.h"
#include "support/rtf_tokenizer.h"

namespace pagesift {
namespace {

// Runs of text in a formatting of their own and paragraphs: each costs the
// text document a few hundred bytes and its layout a little time. Past this
// many, the rest of the document is shown as plain text.
constexpr int kMaxRuns = 100000;
// The text document lays a paragraph out in one go, holding up the event
// loop for as long as that takes: a few microseconds a run, line break or
// tab (a tab may end a line) and a fraction of one a character. A paragraph
// is cut when it reaches this many characters or this many runs, line breaks
// and tabs, and the rest of it shown as plain text.
constexpr qsizetype kMaxParagraphLength = 1000000;
constexpr int kMaxParagraphPieces = 10000;
// The whole document is read, and laid out soon after, while the program
// starts: what is past this many characters is not shown.
constexpr qsizetype kMaxLength = 2 * kMaxParagraphLength;
// Qt's line breaking (seen on Qt 6.4) goes over the rest of a word that has
// no break opportunity again for each line the word fills, so a long word
// costs the square of its length (10,000 one-letter runs at 500 pt: 15 s; a
// word of 1 MB: 40 s). A word longer than this gets a zero-width space, an
// invisible break opportunity, after every this many characters.
constexpr int kMaxUnbrokenLength = 64;
// Qt's document layout without a page height (a text edit's; seen on Qt
// 6.4) never ends on a line that reaches 8,388,607 px from the top. The
// document is built to half that height, estimated from above: every
// character 2 em high and 2 em wide on lines of kEstimateLineWidth less the
// paragraph's indents, each tab and line break a whole line, each paragraph
// a line and its spacing. What does not fit is not shown.
constexpr double kMaxHeight = 8388607.0 / 2;
constexpr double kEstimateLineWidth = 600.0;  // px; the help window's text is 665 px wide

constexpr QChar kLineSeparator(0x2028);
constexpr QChar kZeroWidthSpace(0x200B);

// Characters after which the line breaking may end a line.
bool isBreakOpportunity(char16_t c) { return c == u' ' || c == u'\t' || c == u'-' || c == 0x2028 || c == 0x200B; }

bool isBreak(QChar c) { return c == u'\t' || c == kLineSeparator; }

QFont::StyleHint styleHint(rtf::FontFamily family) {
  switch (family) {
    case rtf::FontFamily::Any: break;
    case rtf::FontFamily::Serif: return QFont::Serif;
    case rtf::FontFamily::SansSerif: return QFont::SansSerif;
    case rtf::FontFamily::TypeWriter: return QFont::TypeWriter;
    case rtf::FontFamily::Cursive: return QFont::Cursive;
    case rtf::FontFamily::Decorative: return QFont::Decorative;
  }
  return QFont::AnyStyle;
}

Qt::Alignment alignment(rtf::Alignment value) {
  switch (value) {
    case rtf::Alignment::Left: break;
    case rtf::Alignment::Center: return Qt::AlignHCenter;
    case rtf::Alignment::Right: return Qt::AlignRight;
    case rtf::Alignment::Justify: return Qt::AlignJustify;
  }
  return Qt::AlignLeft;
}

double pixels(int twips) { return twips / kTwipsPerPixel; }

QString toQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

double logicalDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

// The text document's formats for the tokenizer's, each the same object
// for the same formatting in a row.
class Formats {
 public:
  explicit Formats(const rtf::Tokenizer& tables) : tables_(tables) {}

  // The font or colour table changed.
  void forget() { charValid_ = false; }

  const QTextCharFormat& charFormat(const rtf::CharFormat& props) {
    if (charValid_ && props == charProps_) return char_;
    QTextCharFormat format;
    if (const rtf::Font* font = tables_.font(props.font); font != nullptr && !font->symbol) {
      format.setFontFamilies(QStringList{toQString(font->name)});
      format.setFontStyleHint(styleHint(font->family));
    }
    format.setFontPointSize(props.halfPoints / 2.0);
    format.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(props.italic);
    format.setFontUnderline(props.underline);
    format.setFontStrikeOut(props.strike);
    if (props.script != 0) {
      format.setVerticalAlignment(props.script > 0 ? QTextCharFormat::AlignSuperScript
                                                   : QTextCharFormat::AlignSubScript);
    }
    if (const auto color = tables_.color(props.color)) {
      format.setForeground(QColor(color->red, color->green, color->blue));
    }
    if (const auto color = tables_.color(props.highlight)) {
      format.setBackground(QColor(color->red, color->green, color->blue));
    }
    char_ = format;
    charProps_ = props;
    charValid_ = true;
    return char_;
  }

  const QTextBlockFormat& blockFormat(const rtf::ParagraphFormat& props) {
    if (blockValid_ && props == blockProps_) return block_;
    QTextBlockFormat& format = block_;
    format = QTextBlockFormat();
    format.setAlignment(alignment(props.alignment));
    format.setLeftMargin(pixels(std::max(props.left, 0)));
    format.setRightMargin(pixels(std::max(props.right, 0)));
    format.setTextIndent(pixels(props.first));
    format.setTopMargin(pixels(props.before));
    format.setBottomMargin(pixels(props.after));
    // RTF measures tab stops from the paragraph's left edge, Qt from where
    // the line starts: the first line starts at the left indent plus the
    // first-line indent.
    const int origin = std::max(props.left, 0) + props.first;
    QList<QTextOption::Tab> tabs;
    if (props.first < 0) {
      // A hanging indent: the first tab reaches the left indent, as list
      // marks written "mark, tab, text" expect.
      tabs.append(QTextOption::Tab(pixels(-props.first), QTextOption::LeftTab));
    }
    for (const int tab : props.tabs()) {
      if (tab > origin) tabs.append(QTextOption::Tab(pixels(tab - origin), QTextOption::LeftTab));
    }
    std::sort(tabs.begin(), tabs.end(),
              [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
    tabs.erase(
        std::unique(tabs.begin(), tabs.end(),
                    [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position == b.position; }),
        tabs.end());
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    blockProps_ = props;
    blockValid_ = true;
    return format;
  }

 private:
  const rtf::Tokenizer& tables_;
  QTextCharFormat char_;
  rtf::CharFormat charProps_;
  bool charValid_ = false;
  QTextBlockFormat block_;
  rtf::ParagraphFormat blockProps_;
  bool blockValid_ = false;
};

// Builds the text document from what the tokenizer hands on, within the
// bounds above.
class DocumentWriter final : public rtf::Handler {
 public:
  DocumentWriter(const rtf::Tokenizer& tables, QTextDocument& document)
      : formats_(tables), cursor_(&document), pixelsPerPoint_(logicalDpi() / 72.0) {
    const QFont font = document.defaultFont();
    plainPoints_ = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() / pixelsPerPoint_;
    cursor_.beginEditBlock();
    height_ = lineHeight(rtf::kDefaultHalfPoints / 2.0);  // the first paragraph
  }

  void text(std::u16string_view characters, const rtf::CharFormat& format) override {
    if (full_) return;
    const QString piece = breakable(characters);
    const bool continued = runOpen_ && format == runFormat_;  // the same run, in pieces
    if (mode_ == Mode::kFormatted && !continued && runs_ >= kMaxRuns) startPlain(Mode::kPlainDocument);
    if (mode_ != Mode::kFormatted) {
      appendPlain(piece);
      return;
    }
    // The part the paragraph has room for, then the part the document has.
    const int pieces = continued ? 0 : 1;
    const qsizetype room = paragraphRoom(piece, pieces);
    const qsizetype taken = affordable(QStringView(piece).first(room), format.halfPoints / 2.0, lineWidth_);
    if (taken > 0) {
      cursor_.insertText(piece.first(taken), formats_.charFormat(format));
      runs_ += pieces;
      took(QStringView(piece).first(taken), pieces);
      runFormat_ = format;
      runOpen_ = true;
    }
    if (full_ || room == piece.size()) return;
    startPlain(Mode::kPlainParagraph);
    appendPlain(QStringView(piece).sliced(room));
  }

  void paragraph(const rtf::ParagraphFormat& paragraph, const rtf::CharFormat& format, bool last) override {
    if (full_) {
      // nothing more is shown
    } else if (mode_ == Mode::kPlainDocument) {
      if (!last) appendPlain(QStringView(&kLineSeparator, 1));
    } else {
      if (mode_ == Mode::kPlainParagraph) {
        insertPlain();
        mode_ = Mode::kFormatted;
      } else {
        applyParagraph(paragraph, format);
      }
      if (!last && runs_ >= kMaxRuns) {
        startPlain(Mode::kPlainDocument);
      } else if (!last) {
        newBlock(paragraph, format);
      }
    }
    if (last) {
      insertPlain();
      cursor_.endEditBlock();
    }
  }

  void tablesChanged() override {
    formats_.forget();
    blockKnown_ = false;
    runOpen_ = false;
  }

  bool full() const override { return full_; }

 private:
  enum class Mode : std::uint8_t {
    kFormatted,
    kPlainParagraph,  // the rest of a paragraph that was cut
    kPlainDocument,   // the rest of the document, past kMaxRuns
  };

  // The characters with a zero-width space wherever a word has gone on too
  // long (never between the two halves of a surrogate pair).
  QString breakable(std::u16string_view characters) {
    QString out(static_cast<qsizetype>(characters.size() + characters.size() / kMaxUnbrokenLength + 1),
                Qt::Uninitialized);
    QChar* next = out.data();
    for (const char16_t c : characters) {
      if (isBreakOpportunity(c)) {
        unbroken_ = 0;
      } else if (!QChar::isLowSurrogate(c) && ++unbroken_ > kMaxUnbrokenLength) {
        *next++ = kZeroWidthSpace;
        unbroken_ = 1;
      }
      *next++ = QChar(c);
    }
    out.truncate(next - out.constData());
    return out;
  }

  // 2 em: a line's estimated height, and a character's estimated width.
  double lineHeight(double points) const { return 2 * points * pixelsPerPoint_; }

  bool spend(double height) {
    if (height_ + height > kMaxHeight) full_ = true;
    if (full_) return false;
    height_ += height;
    return true;
  }

  // How many of the characters, at this size on lines this wide, fit the
  // height and length left; spends their share. Fewer than all: the
  // document is full.
  qsizetype affordable(QStringView text, double points, double lineWidth) {
    if (text.size() > kMaxLength - length_) {
      text = text.first(kMaxLength - length_);
      if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
      full_ = true;
    }
    const double line = lineHeight(points);
    const double character = line * std::min(1.0, line / lineWidth);
    const auto breaks = static_cast<double>(std::count_if(text.begin(), text.end(), isBreak));
    const double all = breaks * line + (static_cast<double>(text.size()) - breaks) * character;
    qsizetype taken = text.size();
    if (height_ + all <= kMaxHeight) {
      height_ += all;
    } else {
      full_ = true;
      for (taken = 0; taken < text.size(); ++taken) {
        const double cost = isBreak(text[taken]) ? line : character;
        if (height_ + cost > kMaxHeight) break;
        height_ += cost;
      }
      if (taken > 0 && taken < text.size() && text[taken - 1].isHighSurrogate()) --taken;
    }
    length_ += taken;
    return taken;
  }

  // How many of the characters the current paragraph has room for, in a
  // run that counts as `pieces` itself (a formatted run 1, plain text 0).
  qsizetype paragraphRoom(QStringView text, int pieces) const {
    int used = pieces_ + pieces;
    if (used > kMaxParagraphPieces) return 0;
    const qsizetype limit = std::min(text.size(), kMaxParagraphLength - blockLength_);
    qsizetype room = 0;
    for (; room < limit; ++room) {
      if (isBreak(text[room]) && ++used > kMaxParagraphPieces) break;
    }
    if (room > 0 && room < text.size() && text[room - 1].isHighSurrogate()) --room;
    return room;
  }

  void took(QStringView text, int pieces) {
    blockLength_ += text.size();
    pieces_ += pieces + static_cast<int>(std::count_if(text.begin(), text.end(), isBreak));
  }

  // Plain text goes in a paragraph of its own without formatting, its
  // paragraph ends as line breaks, cut as a paragraph is. It waits in plain_
  // and goes in at once.
  void startPlain(Mode mode) {
    if (!spend(lineHeight(plainPoints_))) return;
    cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
    mode_ = mode;
    blockLength_ = 0;
    pieces_ = 0;
    runOpen_ = false;
    lineWidth_ = kEstimateLineWidth;
  }

  void appendPlain(QStringView text) {
    while (!text.isEmpty() && !full_) {
      if (length_ == kMaxLength) {
        full_ = true;
        break;
      }
      if (paragraphRoom(text, 0) == 0) {  // a cut
        if (!spend(lineHeight(plainPoints_))) break;
        plain_ += u'\n';
        blockLength_ = 0;
        pieces_ = 0;
      }
      const QStringView part = text.first(affordable(text.first(paragraphRoom(text, 0)), plainPoints_, lineWidth_));
      plain_ += part;
      took(part, 0);
      text = text.sliced(part.size());
    }
  }

  void insertPlain() {
    if (plain_.isEmpty()) return;
    cursor_.insertText(plain_, QTextCharFormat());
    plain_.clear();
  }

  void newBlock(const rtf::ParagraphFormat& paragraph, const rtf::CharFormat& format) {
    const double spacing = pixels(paragraph.before + paragraph.after) * pixelsPerPoint_ * 72 / 96;
    if (!spend(lineHeight(format.halfPoints / 2.0) + spacing)) return;
    cursor_.insertBlock(formats_.blockFormat(paragraph), formats_.charFormat(format));
    ++runs_;
    blockKnown_ = true;
    blockParagraph_ = paragraph;
    blockChars_ = format;
    blockLength_ = 0;
    pieces_ = 0;
    unbroken_ = 0;
    runOpen_ = false;
    const int indents = std::max(paragraph.left, 0) + std::max(paragraph.right, 0) + std::max(paragraph.first, 0);
    lineWidth_ = std::max(kEstimateLineWidth - pixels(indents), 1.0);
  }

  // Gives the paragraph being ended the formatting in effect at its end. A
  // new block starts with the formatting of the one before, so most
  // paragraphs need no change here.
  void applyParagraph(const rtf::ParagraphFormat& paragraph, const rtf::CharFormat& format) {
    if (!blockKnown_ || !(paragraph == blockParagraph_)) cursor_.setBlockFormat(formats_.blockFormat(paragraph));
    if (!blockKnown_ || !(format == blockChars_)) cursor_.setBlockCharFormat(formats_.charFormat(format));
  }

  Formats formats_;
  QTextCursor cursor_;
  // The formatting the cursor's block carries.
  rtf::ParagraphFormat blockParagraph_;
  rtf::CharFormat blockChars_;
  bool blockKnown_ = false;

  // The bounds.
  const double pixelsPerPoint_;
  double plainPoints_ = 0;  // the size of plain text
  Mode mode_ = Mode::kFormatted;
  int runs_ = 0;
  qsizetype length_ = 0;       // characters in the document, plain_ included
  qsizetype blockLength_ = 0;  // characters in the current paragraph
  int pieces_ = 0;             // runs, line breaks and tabs in the current paragraph
  rtf::CharFormat runFormat_;  // of the last run, while it may go on
  bool runOpen_ = false;
  int unbroken_ = 0;                       // characters since the last break opportunity
  double height_ = 0;                      // estimated, px
  double lineWidth_ = kEstimateLineWidth;  // of the current paragraph, px
  bool full_ = false;                      // kMaxLength or kMaxHeight reached
  QString plain_;
};

}  // namespace

bool ReadRtf(const QByteArray& bytes, QTextDocument& document) {
  const std::string_view input(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (!rtf::IsRtf(input)) return false;
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  document.clear();
  rtf::Tokenizer tokenizer(input);
  DocumentWriter writer(tokenizer, document);
  tokenizer.read(writer);
  document.setUndoRedoEnabled(undo);
  return true;
}

}  // namespace pagesift
