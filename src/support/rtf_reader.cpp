#include "support/rtf_reader.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pagesift {
namespace {

// Groups nested deeper than this share the deepest saved state; the braces
// are still counted so the balance stays right.
constexpr int kMaxDepth = 1000;
constexpr int kMaxWordLength = 32;
constexpr int kMaxParameterDigits = 10;
constexpr int kMaxTableEntries = 4096;  // fonts, colours
constexpr int kMaxFontNameLength = 256;
constexpr int kMaxTabStops = 64;
// A document is read up to this many paragraphs and runs of differently
// formatted text together; the rest is not shown (each costs the text
// document a few hundred bytes and a microsecond or two).
constexpr int kMaxPieces = 1000000;
constexpr int kMaxTwips = 31680;  // 22 inches
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 1000;
// Document units are device-independent pixels, 15 twips each.
constexpr double kTwipsPerPixel = 15.0;

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes keep their value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromCp1252(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t{byte};
}

// The few symbol-font characters documents use for list marks, shown with
// their Unicode equivalents (symbol fonts are not available as such here).
char16_t FromSymbolFont(char16_t ch) {
  if (ch >= 0xF020 && ch <= 0xF0FF) ch = static_cast<char16_t>(ch - 0xF000);
  switch (ch) {
    case 0xB7: return 0x2022;  // bullet
    case 0xA7: return 0x25AA;  // small square
    case 0xD8: return 0x27A2;  // arrowhead
    case 0xFC: return 0x2713;  // check mark
    default: return ch;
  }
}

int Clamp(int value, int low, int high) { return std::clamp(value, low, high); }

enum class Destination : std::uint8_t { Text, Skip, FontTable, ColorTable };

struct CharProps {
  int font = -1;  // font-table number; -1 = the default font
  int halfPoints = kDefaultHalfPoints;
  int color = 0;  // colour-table index; 0 = automatic
  int highlight = 0;
  std::int8_t script = 0;  // 1 superscript, -1 subscript
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  bool operator==(const CharProps&) const = default;
};

struct ParaProps {
  Qt::Alignment alignment = Qt::AlignLeft;
  int left = 0;  // twips
  int right = 0;
  int first = 0;
  int before = 0;
  int after = 0;
  QList<int> tabs;  // twips
  bool operator==(const ParaProps&) const = default;
};

struct GroupState {
  CharProps chars;
  ParaProps para;
  int uc = 1;  // fallback characters after \u
  Destination destination = Destination::Text;
};

struct FontEntry {
  QString name;
  QFont::StyleHint hint = QFont::AnyStyle;
  bool symbol = false;
};

enum class Word : std::uint8_t {
  // character formatting
  Bold, Italic, Underline, UnderlineNone, Strike, Hidden, Super, Sub, NoSuperSub, Plain,
  FontSize, Font, Color, Highlight,
  // paragraph formatting
  Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify, LeftIndent, RightIndent, FirstIndent,
  SpaceBefore, SpaceAfter, TabStop,
  // characters and breaks
  Par, Line, Tab, Cell, EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LQuote, RQuote,
  LDblQuote, RDblQuote, Unicode, UnicodeSkip, Binary, DefaultFont,
  // tables and destinations
  FontTable, ColorTable, Skip, FamilyNil, FamilyRoman, FamilySwiss, FamilyModern, FamilyScript,
  FamilyDecor, FamilyTech, Charset, Red, Green, Blue,
};

const std::unordered_map<std::string_view, Word>& Words() {
  static const std::unordered_map<std::string_view, Word> words = {
      {"b", Word::Bold}, {"i", Word::Italic}, {"ul", Word::Underline}, {"uld", Word::Underline},
      {"uldb", Word::Underline}, {"ulw", Word::Underline}, {"uldash", Word::Underline},
      {"ulth", Word::Underline}, {"ulwave", Word::Underline}, {"ulnone", Word::UnderlineNone},
      {"strike", Word::Strike}, {"v", Word::Hidden}, {"super", Word::Super}, {"sub", Word::Sub},
      {"nosupersub", Word::NoSuperSub}, {"plain", Word::Plain}, {"fs", Word::FontSize},
      {"f", Word::Font}, {"cf", Word::Color}, {"highlight", Word::Highlight}, {"cb", Word::Highlight},
      {"pard", Word::Pard}, {"ql", Word::AlignLeft}, {"qc", Word::AlignCenter},
      {"qr", Word::AlignRight}, {"qj", Word::AlignJustify}, {"li", Word::LeftIndent},
      {"lin", Word::LeftIndent}, {"ri", Word::RightIndent}, {"rin", Word::RightIndent},
      {"fi", Word::FirstIndent}, {"sb", Word::SpaceBefore}, {"sa", Word::SpaceAfter},
      {"tx", Word::TabStop}, {"par", Word::Par}, {"page", Word::Par}, {"sect", Word::Par},
      {"row", Word::Par}, {"line", Word::Line}, {"tab", Word::Tab}, {"cell", Word::Cell},
      {"emdash", Word::EmDash}, {"endash", Word::EnDash}, {"emspace", Word::EmSpace},
      {"enspace", Word::EnSpace}, {"qmspace", Word::QmSpace}, {"bullet", Word::Bullet},
      {"lquote", Word::LQuote}, {"rquote", Word::RQuote}, {"ldblquote", Word::LDblQuote},
      {"rdblquote", Word::RDblQuote}, {"u", Word::Unicode}, {"uc", Word::UnicodeSkip},
      {"bin", Word::Binary}, {"deff", Word::DefaultFont}, {"fonttbl", Word::FontTable},
      {"colortbl", Word::ColorTable}, {"fnil", Word::FamilyNil}, {"froman", Word::FamilyRoman},
      {"fswiss", Word::FamilySwiss}, {"fmodern", Word::FamilyModern},
      {"fscript", Word::FamilyScript}, {"fdecor", Word::FamilyDecor}, {"ftech", Word::FamilyTech},
      {"fcharset", Word::Charset}, {"red", Word::Red}, {"green", Word::Green}, {"blue", Word::Blue},
      // Destinations whose content is not text to show.
      {"stylesheet", Word::Skip}, {"info", Word::Skip}, {"pict", Word::Skip},
      {"object", Word::Skip}, {"header", Word::Skip}, {"headerl", Word::Skip},
      {"headerr", Word::Skip}, {"headerf", Word::Skip}, {"footer", Word::Skip},
      {"footerl", Word::Skip}, {"footerr", Word::Skip}, {"footerf", Word::Skip},
      {"footnote", Word::Skip}, {"fldinst", Word::Skip}, {"listtable", Word::Skip},
      {"listoverridetable", Word::Skip}, {"rsidtbl", Word::Skip}, {"xmlnstbl", Word::Skip},
      {"generator", Word::Skip}, {"themedata", Word::Skip}, {"colorschememapping", Word::Skip},
      {"latentstyles", Word::Skip}, {"datastore", Word::Skip}, {"pn", Word::Skip},
      {"filetbl", Word::Skip}, {"revtbl", Word::Skip}, {"nonshppict", Word::Skip},
      {"annotation", Word::Skip}, {"atnid", Word::Skip}, {"atnauthor", Word::Skip},
      {"xe", Word::Skip}, {"tc", Word::Skip}, {"txe", Word::Skip}, {"private", Word::Skip},
      {"falt", Word::Skip}, {"panose", Word::Skip}, {"userprops", Word::Skip},
      {"mmathPr", Word::Skip}, {"wgrffmtfilter", Word::Skip}, {"pgdsctbl", Word::Skip},
  };
  return words;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  Reader(const QByteArray& bytes, QTextDocument& document)
      : data_(bytes.constData()), size_(bytes.size()), cursor_(&document) {
    stack_.emplace_back();  // the state outside the outermost group
  }

  void run() {
    cursor_.beginEditBlock();
    while (pos_ < size_ && pieces_ < kMaxPieces) {
      const char c = data_[pos_];
      if (c == '{') {
        ++pos_;
        openGroup();
      } else if (c == '}') {
        ++pos_;
        if (!closeGroup()) break;
      } else if (c == '\\') {
        ++pos_;
        controlSequence();
      } else {
        textRun();
      }
    }
    flush();
    applyParagraph();
    cursor_.endEditBlock();
  }

 private:
  GroupState& state() { return stack_.back(); }
  // Inside the document's outermost group, where destinations may begin.
  bool nested() const { return stack_.size() > 2; }

  void openGroup() {
    fallback_ = 0;
    if (static_cast<int>(stack_.size()) > kMaxDepth) {
      ++overflow_;
      return;
    }
    stack_.push_back(stack_.back());
  }

  // False when the document's outermost group has closed.
  bool closeGroup() {
    fallback_ = 0;
    if (overflow_ > 0) {
      --overflow_;
      return true;
    }
    if (state().destination == Destination::FontTable) storeFont();
    if (stack_.size() <= 2) return false;  // the document's end: its last paragraph keeps this state
    stack_.pop_back();
    return true;
  }

  void textRun() {
    const qsizetype start = pos_;
    while (pos_ < size_) {
      const char c = data_[pos_];
      if (c == '{' || c == '}' || c == '\\') break;
      ++pos_;
    }
    for (qsizetype i = start; i < pos_; ++i) {
      const auto byte = static_cast<unsigned char>(data_[i]);
      if (byte == '\r' || byte == '\n') continue;
      if (fallback_ > 0) {
        --fallback_;
        continue;
      }
      byteCharacter(byte);
    }
  }

  void byteCharacter(unsigned char byte) {
    if (byte >= 0x20 || byte == '\t') character(FromCp1252(byte));
  }

  void character(char16_t ch) {
    GroupState& s = state();
    switch (s.destination) {
      case Destination::Text:
        if (s.chars.hidden) return;
        if (!pending_.isEmpty() && !(pendingProps_ == s.chars)) flush();
        if (pending_.isEmpty()) {
          pendingProps_ = s.chars;
          pendingSymbol_ = isSymbolFont(s.chars.font);
        }
        pending_.append(QChar(pendingSymbol_ ? FromSymbolFont(ch) : ch));
        return;
      case Destination::FontTable:
        if (ch == u';') {
          storeFont();
        } else if (fontName_.size() < kMaxFontNameLength) {
          fontName_.append(QChar(ch));
        }
        return;
      case Destination::ColorTable:
        if (ch == u';') {
          if (colors_.size() < kMaxTableEntries) colors_.append(colorSet_ ? QColor(red_, green_, blue_) : QColor());
          red_ = green_ = blue_ = 0;
          colorSet_ = false;
          tablesChanged();
        }
        return;
      case Destination::Skip:
        return;
    }
  }

  // The text document gives some characters a meaning of its own (paragraph
  // and frame marks, embedded objects): those are not taken as text.
  void unicodeCharacter(int code) {
    if (code == 0x2029) {
      paragraph();
    } else if (code < 0 || code > 0xFFFF || code == 0xFDD0 || code == 0xFDD1 || code == 0xFFFC) {
      character(u'\uFFFD');
    } else if (code >= 0x20 || code == '\t') {
      character(static_cast<char16_t>(code));
    }
  }

  void controlSequence() {
    if (pos_ >= size_) return;
    const char c = data_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      controlSymbol(c);
      return;
    }
    const qsizetype start = pos_;
    while (pos_ < size_ && IsLetter(data_[pos_])) ++pos_;
    const qsizetype length = pos_ - start;
    bool hasParameter = false;
    bool negative = false;
    std::int64_t value = 0;
    if (pos_ + 1 < size_ && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    int digits = 0;
    while (pos_ < size_ && IsDigit(data_[pos_])) {
      hasParameter = true;
      if (digits++ < kMaxParameterDigits) value = value * 10 + (data_[pos_] - '0');
      ++pos_;
    }
    if (pos_ < size_ && data_[pos_] == ' ') ++pos_;
    value = std::min<std::int64_t>(value, INT32_MAX);
    const int parameter = static_cast<int>(negative ? -value : value);
    if (fallback_ > 0) {
      --fallback_;
      return;
    }
    if (length > kMaxWordLength) return;
    const auto& words = Words();
    const auto found = words.find(std::string_view(data_ + start, static_cast<std::size_t>(length)));
    if (found != words.end()) word(found->second, hasParameter, parameter);
  }

  void controlSymbol(char c) {
    if (c == '\'') {
      int byte = 0;
      int digits = 0;
      while (digits < 2 && pos_ < size_ && HexValue(data_[pos_]) >= 0) {
        byte = byte * 16 + HexValue(data_[pos_]);
        ++pos_;
        ++digits;
      }
      if (fallback_ > 0) {
        --fallback_;
      } else if (digits > 0) {
        byteCharacter(static_cast<unsigned char>(byte));
      }
      return;
    }
    if (fallback_ > 0) {
      --fallback_;
      return;
    }
    switch (c) {
      case '{':
      case '}':
      case '\\': character(static_cast<char16_t>(c)); break;
      case '~': character(u'\u00A0'); break;
      case '-': character(u'\u00AD'); break;
      case '_': character(u'\u2011'); break;
      case '\t': character(u'\t'); break;
      case '\r':
      case '\n': paragraph(); break;
      case '*':
        if (nested()) state().destination = Destination::Skip;
        break;
      default: break;
    }
  }

  void word(Word w, bool hasParameter, int parameter) {
    GroupState& s = state();
    CharProps& ch = s.chars;
    ParaProps& para = s.para;
    const bool on = !hasParameter || parameter != 0;
    const int twips = Clamp(parameter, -kMaxTwips, kMaxTwips);
    switch (w) {
      case Word::Bold: ch.bold = on; break;
      case Word::Italic: ch.italic = on; break;
      case Word::Underline: ch.underline = on; break;
      case Word::UnderlineNone: ch.underline = false; break;
      case Word::Strike: ch.strike = on; break;
      case Word::Hidden: ch.hidden = on; break;
      case Word::Super: ch.script = 1; break;
      case Word::Sub: ch.script = -1; break;
      case Word::NoSuperSub: ch.script = 0; break;
      case Word::Plain: ch = CharProps{}; break;
      case Word::FontSize:
        ch.halfPoints = parameter > 0 ? std::min(parameter, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
      case Word::Font:
        if (s.destination == Destination::FontTable) {
          storeFont();
          fontNumber_ = std::max(parameter, 0);
        } else {
          ch.font = std::max(parameter, 0);
        }
        break;
      case Word::Color: ch.color = std::max(parameter, 0); break;
      case Word::Highlight: ch.highlight = std::max(parameter, 0); break;
      case Word::Pard: para = ParaProps{}; break;
      case Word::AlignLeft: para.alignment = Qt::AlignLeft; break;
      case Word::AlignCenter: para.alignment = Qt::AlignHCenter; break;
      case Word::AlignRight: para.alignment = Qt::AlignRight; break;
      case Word::AlignJustify: para.alignment = Qt::AlignJustify; break;
      case Word::LeftIndent: para.left = twips; break;
      case Word::RightIndent: para.right = twips; break;
      case Word::FirstIndent: para.first = twips; break;
      case Word::SpaceBefore: para.before = std::max(twips, 0); break;
      case Word::SpaceAfter: para.after = std::max(twips, 0); break;
      case Word::TabStop:
        if (para.tabs.size() < kMaxTabStops && twips > 0) para.tabs.append(twips);
        break;
      case Word::Par: paragraph(); break;
      case Word::Line: character(u'\u2028'); break;
      case Word::Tab:
      case Word::Cell: character(u'\t'); break;
      case Word::EmDash: character(u'\u2014'); break;
      case Word::EnDash: character(u'\u2013'); break;
      case Word::EmSpace: character(u'\u2003'); break;
      case Word::EnSpace: character(u'\u2002'); break;
      case Word::QmSpace: character(u'\u2005'); break;
      case Word::Bullet: character(u'\u2022'); break;
      case Word::LQuote: character(u'\u2018'); break;
      case Word::RQuote: character(u'\u2019'); break;
      case Word::LDblQuote: character(u'\u201C'); break;
      case Word::RDblQuote: character(u'\u201D'); break;
      case Word::Unicode: {
        int code = parameter;
        if (code < 0) code += 65536;
        unicodeCharacter(code);
        fallback_ = s.uc;
        break;
      }
      case Word::UnicodeSkip: s.uc = Clamp(parameter, 0, 255); break;
      case Word::Binary:
        if (parameter > 0) pos_ += std::min<qsizetype>(parameter, size_ - pos_);
        break;
      case Word::DefaultFont:
        defaultFont_ = std::max(parameter, 0);
        tablesChanged();
        break;
      case Word::FontTable:
        if (nested()) {
          s.destination = Destination::FontTable;
          fontName_.clear();
        }
        break;
      case Word::ColorTable:
        if (nested()) s.destination = Destination::ColorTable;
        break;
      case Word::Skip:
        if (nested()) s.destination = Destination::Skip;
        break;
      case Word::FamilyNil: fontHint_ = QFont::AnyStyle; break;
      case Word::FamilyRoman: fontHint_ = QFont::Serif; break;
      case Word::FamilySwiss: fontHint_ = QFont::SansSerif; break;
      case Word::FamilyModern: fontHint_ = QFont::TypeWriter; break;
      case Word::FamilyScript: fontHint_ = QFont::Cursive; break;
      case Word::FamilyDecor: fontHint_ = QFont::Decorative; break;
      case Word::FamilyTech: fontSymbol_ = true; break;
      case Word::Charset:
        if (parameter == 2) fontSymbol_ = true;
        break;
      case Word::Red: setColorPart(red_, parameter); break;
      case Word::Green: setColorPart(green_, parameter); break;
      case Word::Blue: setColorPart(blue_, parameter); break;
    }
  }

  void setColorPart(int& part, int parameter) {
    part = Clamp(parameter, 0, 255);
    colorSet_ = true;
  }

  void storeFont() {
    const QString name = fontName_.trimmed();
    if (fontNumber_ >= 0 && !name.isEmpty() &&
        (fonts_.size() < kMaxTableEntries || fonts_.contains(fontNumber_))) {
      const bool symbol = fontSymbol_ || name == QLatin1String("Symbol") || name.startsWith(QLatin1String("Wingdings"));
      fonts_.insert(fontNumber_, FontEntry{name, fontHint_, symbol});
      tablesChanged();
    }
    fontName_.clear();
    fontNumber_ = -1;
    fontHint_ = QFont::AnyStyle;
    fontSymbol_ = false;
  }

  const FontEntry* font(int number) const {
    const auto found = fonts_.constFind(number < 0 ? defaultFont_ : number);
    return found == fonts_.constEnd() ? nullptr : &found.value();
  }

  bool isSymbolFont(int number) const {
    const FontEntry* entry = font(number);
    return entry != nullptr && entry->symbol;
  }

  const QTextCharFormat& charFormat(const CharProps& props) {
    if (charFormatValid_ && props == charFormatProps_) return charFormat_;
    QTextCharFormat format;
    if (const FontEntry* entry = font(props.font); entry != nullptr && !entry->symbol) {
      format.setFontFamilies(QStringList{entry->name});
      format.setFontStyleHint(entry->hint);
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
    if (props.color > 0 && props.color < colors_.size() && colors_[props.color].isValid()) {
      format.setForeground(colors_[props.color]);
    }
    if (props.highlight > 0 && props.highlight < colors_.size() && colors_[props.highlight].isValid()) {
      format.setBackground(colors_[props.highlight]);
    }
    charFormat_ = format;
    charFormatProps_ = props;
    charFormatValid_ = true;
    return charFormat_;
  }

  static double pixels(int twips) { return twips / kTwipsPerPixel; }

  const QTextBlockFormat& blockFormat(const ParaProps& props) {
    if (blockFormatValid_ && props == blockFormatProps_) return blockFormat_;
    QTextBlockFormat& format = blockFormat_;
    format = QTextBlockFormat();
    format.setAlignment(props.alignment);
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
    for (int tab : props.tabs) {
      if (tab > origin) tabs.append(QTextOption::Tab(pixels(tab - origin), QTextOption::LeftTab));
    }
    std::sort(tabs.begin(), tabs.end(),
              [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
    tabs.erase(std::unique(tabs.begin(), tabs.end(),
                           [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position == b.position; }),
               tabs.end());
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    blockFormatProps_ = props;
    blockFormatValid_ = true;
    return format;
  }

  void flush() {
    if (pending_.isEmpty()) return;
    cursor_.insertText(pending_, charFormat(pendingProps_));
    ++pieces_;
    pending_.clear();
  }

  // The font or colour table changed: formats built so far may be stale.
  void tablesChanged() {
    charFormatValid_ = false;
    blockKnown_ = false;
  }

  // Gives the paragraph being ended the formatting in effect at its end. A
  // new block starts with the formatting of the one before, so most
  // paragraphs need no change here.
  void applyParagraph() {
    const GroupState& s = state();
    if (!blockKnown_ || !(s.para == blockPara_)) cursor_.setBlockFormat(blockFormat(s.para));
    if (!blockKnown_ || !(s.chars == blockChars_)) cursor_.setBlockCharFormat(charFormat(s.chars));
  }

  void paragraph() {
    if (state().destination != Destination::Text) return;
    flush();
    applyParagraph();
    const GroupState& s = state();
    cursor_.insertBlock(blockFormat(s.para), charFormat(s.chars));
    ++pieces_;
    blockKnown_ = true;
    blockPara_ = s.para;
    blockChars_ = s.chars;
  }

  const char* data_;
  qsizetype size_;
  qsizetype pos_ = 0;
  QTextCursor cursor_;
  std::vector<GroupState> stack_;
  int overflow_ = 0;
  int fallback_ = 0;  // \u fallback characters still to skip
  int pieces_ = 0;  // paragraphs and text runs so far

  QString pending_;
  CharProps pendingProps_;
  bool pendingSymbol_ = false;

  QTextCharFormat charFormat_;
  CharProps charFormatProps_;
  bool charFormatValid_ = false;
  QTextBlockFormat blockFormat_;
  ParaProps blockFormatProps_;
  bool blockFormatValid_ = false;
  // The formatting the cursor's block already carries.
  ParaProps blockPara_;
  CharProps blockChars_;
  bool blockKnown_ = false;

  QHash<int, FontEntry> fonts_;
  int defaultFont_ = 0;
  QString fontName_;
  int fontNumber_ = -1;
  QFont::StyleHint fontHint_ = QFont::AnyStyle;
  bool fontSymbol_ = false;

  QList<QColor> colors_;
  int red_ = 0;
  int green_ = 0;
  int blue_ = 0;
  bool colorSet_ = false;
};

}  // namespace

bool ReadRtf(const QByteArray& bytes, QTextDocument& document) {
  if (!bytes.startsWith("{\\rtf")) return false;
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  document.clear();
  Reader(bytes, document).run();
  document.setUndoRedoEnabled(undo);
  return true;
}

}  // namespace pagesift
