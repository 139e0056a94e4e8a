#include "support/rtf_reader.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
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

// A document is read up to this many paragraphs and runs of differently
// formatted text together; the rest is not shown (each costs the text
// document a few hundred bytes and a microsecond or two).
constexpr int kMaxPieces = 1000000;

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
    tabs.erase(std::unique(tabs.begin(), tabs.end(),
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

// Builds the text document from what the tokenizer hands on.
class DocumentWriter final : public rtf::Handler {
 public:
  DocumentWriter(const rtf::Tokenizer& tables, QTextDocument& document) : formats_(tables), cursor_(&document) {
    cursor_.beginEditBlock();
  }

  void text(std::u16string_view characters, const rtf::CharFormat& format) override {
    cursor_.insertText(toQString(characters), formats_.charFormat(format));
    ++pieces_;
  }

  void paragraph(const rtf::ParagraphFormat& paragraph, const rtf::CharFormat& format, bool last) override {
    applyParagraph(paragraph, format);
    if (last) {
      cursor_.endEditBlock();
      return;
    }
    cursor_.insertBlock(formats_.blockFormat(paragraph), formats_.charFormat(format));
    ++pieces_;
    blockKnown_ = true;
    blockParagraph_ = paragraph;
    blockChars_ = format;
  }

  void tablesChanged() override {
    formats_.forget();
    blockKnown_ = false;
  }

  bool full() const override { return pieces_ >= kMaxPieces; }

 private:
  // Gives the paragraph being ended the formatting in effect at its end. A
  // new block starts with the formatting of the one before, so most
  // paragraphs need no change here.
  void applyParagraph(const rtf::ParagraphFormat& paragraph, const rtf::CharFormat& format) {
    if (!blockKnown_ || !(paragraph == blockParagraph_)) cursor_.setBlockFormat(formats_.blockFormat(paragraph));
    if (!blockKnown_ || !(format == blockChars_)) cursor_.setBlockCharFormat(formats_.charFormat(format));
  }

  Formats formats_;
  QTextCursor cursor_;
  int pieces_ = 0;  // paragraphs and text runs so far
  // The formatting the cursor's block carries.
  rtf::ParagraphFormat blockParagraph_;
  rtf::CharFormat blockChars_;
  bool blockKnown_ = false;
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
