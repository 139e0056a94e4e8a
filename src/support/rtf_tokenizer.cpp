// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/rtf_tokenizer.h"

#include <algorithm>
#include <climits>

namespace pagesift::rtf {
namespace {

// Groups nested deeper than this share the deepest saved state; the braces
// are still counted so the balance stays right.
constexpr std::size_t kMaxDepth = 1000;
constexpr std::size_t kMaxWordLength = 32;
constexpr int kMaxParameterDigits = 10;
constexpr std::size_t kMaxTableEntries = 4096;  // fonts, colours
constexpr std::size_t kMaxFontNameLength = 256;

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes keep their value.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// White space as a font name's ends may carry it: ASCII white space, the
// next-line and no-break spaces and the Unicode space separators.
bool IsSpace(char16_t c) {
  return (c >= u'\t' && c <= u'\r') || c == u' ' || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string Trimmed(std::u16string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return std::u16string(text);
}

}  // namespace

// Kept as tables, a group of related words to a line.
// clang-format off
enum class ControlWord : std::uint8_t {
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

namespace {

using Word = ControlWord;

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
  // clang-format on
  return words;
}

// The words that change the group's state (the rest leave it as it is).
bool changesState(Word w) {
  return w <= Word::TabStop || w == Word::UnicodeSkip || w == Word::FontTable || w == Word::ColorTable ||
         w == Word::Skip;
}

}  // namespace

bool IsRtf(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

Tokenizer::Tokenizer(std::string_view bytes) : data_(bytes) {
  stack_.emplace_back();  // the state outside the outermost group
}

void Tokenizer::read(Handler& handler) {
  handler_ = &handler;
  while (pos_ < data_.size() && !handler.full()) {
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
  handler.paragraph(state().para, state().chars, true);
  handler_ = nullptr;
}

const Font* Tokenizer::font(int number) const {
  const auto found = fonts_.find(number < 0 ? defaultFont_ : number);
  return found == fonts_.end() ? nullptr : &found->second;
}

std::optional<Color> Tokenizer::color(int index) const {
  if (index <= 0 || static_cast<std::size_t>(index) >= colors_.size()) return std::nullopt;
  return colors_[static_cast<std::size_t>(index)];
}

Tokenizer::GroupState& Tokenizer::changeState() {
  if (stack_.back().shared > 0) {
    --stack_.back().shared;
    stack_.push_back(SavedState{stack_.back().state, 0});
  }
  return stack_.back().state;
}

void Tokenizer::openGroup() {
  fallback_ = 0;
  if (depth_ >= kMaxDepth) {
    ++overflow_;
    return;
  }
  ++depth_;
  ++stack_.back().shared;
}

// False when the document's outermost group has closed.
bool Tokenizer::closeGroup() {
  fallback_ = 0;
  if (overflow_ > 0) {
    --overflow_;
    return true;
  }
  if (state().destination == Destination::FontTable) storeFont();
  if (depth_ <= 1) return false;  // the document's end: its last paragraph keeps this state
  --depth_;
  if (stack_.back().shared > 0) {
    --stack_.back().shared;
  } else {
    stack_.pop_back();
  }
  return true;
}

void Tokenizer::textRun() {
  const std::size_t end = std::min(data_.find_first_of("{}\\", pos_), data_.size());
  for (; pos_ < end && fallback_ > 0; ++pos_) {
    if (data_[pos_] != '\r' && data_[pos_] != '\n') --fallback_;
  }
  const GroupState& s = state();
  if (s.destination != Destination::Text || s.chars.hidden) {
    for (; pos_ < end; ++pos_) byteCharacter(static_cast<unsigned char>(data_[pos_]));
    return;
  }
  // Text to show, all in one formatting: as character() does, byte by byte,
  // from the first byte that is a character (line ends and other control
  // bytes are not).
  const auto shown = [](char byte) { return static_cast<unsigned char>(byte) >= 0x20 || byte == '\t'; };
  while (pos_ < end && !shown(data_[pos_])) ++pos_;
  if (pos_ == end) return;
  if (!pending_.empty() && !(pendingFormat_ == s.chars)) flush();
  if (pending_.empty()) {
    pendingFormat_ = s.chars;
    pendingSymbol_ = isSymbolFont(s.chars.font);
  }
  pending_.reserve(std::min(pending_.size() + (end - pos_), kMaxTextPiece));
  for (; pos_ < end; ++pos_) {
    if (!shown(data_[pos_])) continue;
    const char16_t ch = FromCp1252(static_cast<unsigned char>(data_[pos_]));
    pending_.push_back(pendingSymbol_ ? FromSymbolFont(ch) : ch);
    if (pending_.size() == kMaxTextPiece) {
      flush();
      if (handler_->full()) return;
    }
  }
}

void Tokenizer::byteCharacter(unsigned char byte) {
  if (byte >= 0x20 || byte == '\t') character(FromCp1252(byte));
}

void Tokenizer::character(char16_t ch) {
  const GroupState& s = state();
  switch (s.destination) {
    case Destination::Text:
      if (s.chars.hidden) return;
      if (!pending_.empty() && !(pendingFormat_ == s.chars)) flush();
      if (pending_.empty()) {
        pendingFormat_ = s.chars;
        pendingSymbol_ = isSymbolFont(s.chars.font);
      }
      pending_.push_back(pendingSymbol_ ? FromSymbolFont(ch) : ch);
      if (pending_.size() == kMaxTextPiece) flush();
      return;
    case Destination::FontTable:
      if (ch == u';') {
        storeFont();
      } else if (font_.name.size() < kMaxFontNameLength) {
        font_.name.push_back(ch);
      }
      return;
    case Destination::ColorTable:
      if (ch == u';') {
        if (colors_.size() < kMaxTableEntries) colors_.push_back(color_);
        color_.reset();
        handler_->tablesChanged();
      }
      return;
    case Destination::Skip: return;
  }
}

// The text document gives some characters a meaning of its own (paragraph
// and frame marks, embedded objects): those are not taken as text.
void Tokenizer::unicodeCharacter(int code) {
  if (code == 0x2029) {
    paragraph();
  } else if (code < 0 || code > 0xFFFF || code == 0xFDD0 || code == 0xFDD1 || code == 0xFFFC) {
    character(u'\uFFFD');
  } else if (code >= 0x20 || code == '\t') {
    character(static_cast<char16_t>(code));
  }
}

void Tokenizer::controlSequence() {
  if (pos_ >= data_.size()) return;
  const char c = data_[pos_];
  if (!IsLetter(c)) {
    ++pos_;
    controlSymbol(c);
    return;
  }
  const std::size_t start = pos_;
  while (pos_ < data_.size() && IsLetter(data_[pos_])) ++pos_;
  const std::string_view name = data_.substr(start, pos_ - start);
  bool hasParameter = false;
  bool negative = false;
  std::int64_t value = 0;
  if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
    negative = true;
    ++pos_;
  }
  int digits = 0;
  while (pos_ < data_.size() && IsDigit(data_[pos_])) {
    hasParameter = true;
    if (digits++ < kMaxParameterDigits) value = value * 10 + (data_[pos_] - '0');
    ++pos_;
  }
  if (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;
  value = std::min<std::int64_t>(value, INT_MAX);
  const int parameter = static_cast<int>(negative ? -value : value);
  if (fallback_ > 0) {
    --fallback_;
    return;
  }
  if (name.size() > kMaxWordLength) return;
  const auto& words = Words();
  const auto found = words.find(name);
  if (found != words.end()) word(found->second, hasParameter, parameter);
}

void Tokenizer::controlSymbol(char c) {
  if (c == '\'') {
    int byte = 0;
    int digits = 0;
    while (digits < 2 && pos_ < data_.size() && HexValue(data_[pos_]) >= 0) {
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
      if (nested()) changeState().destination = Destination::Skip;
      break;
    default: break;
  }
}

void Tokenizer::word(ControlWord w, bool hasParameter, int parameter) {
  GroupState& s = changesState(w) ? changeState() : stack_.back().state;
  CharFormat& ch = s.chars;
  ParagraphFormat& para = s.para;
  const bool on = !hasParameter || parameter != 0;
  const int twips = std::clamp(parameter, -kMaxTwips, kMaxTwips);
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
    case Word::Plain: ch = CharFormat{}; break;
    case Word::FontSize:
      ch.halfPoints = parameter > 0 ? std::clamp(parameter, kMinHalfPoints, kMaxHalfPoints) : kDefaultHalfPoints;
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
    case Word::Pard: para = ParagraphFormat{}; break;
    case Word::AlignLeft: para.alignment = Alignment::Left; break;
    case Word::AlignCenter: para.alignment = Alignment::Center; break;
    case Word::AlignRight: para.alignment = Alignment::Right; break;
    case Word::AlignJustify: para.alignment = Alignment::Justify; break;
    case Word::LeftIndent: para.left = twips; break;
    case Word::RightIndent: para.right = twips; break;
    case Word::FirstIndent: para.first = twips; break;
    case Word::SpaceBefore: para.before = std::max(twips, 0); break;
    case Word::SpaceAfter: para.after = std::max(twips, 0); break;
    case Word::TabStop:
      if (para.tabCount < kMaxTabStops && twips > 0) {
        para.tabStops[static_cast<std::size_t>(para.tabCount++)] = static_cast<std::int16_t>(twips);
      }
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
    case Word::Unicode:
      unicodeCharacter(parameter < 0 ? parameter + 65536 : parameter);
      fallback_ = s.uc;
      break;
    case Word::UnicodeSkip: s.uc = std::clamp(parameter, 0, 255); break;
    case Word::Binary:
      if (parameter > 0) pos_ += std::min(static_cast<std::size_t>(parameter), data_.size() - pos_);
      break;
    case Word::DefaultFont:
      defaultFont_ = std::max(parameter, 0);
      handler_->tablesChanged();
      break;
    case Word::FontTable:
      if (nested()) {
        s.destination = Destination::FontTable;
        font_.name.clear();
      }
      break;
    case Word::ColorTable:
      if (nested()) s.destination = Destination::ColorTable;
      break;
    case Word::Skip:
      if (nested()) s.destination = Destination::Skip;
      break;
    case Word::FamilyNil: font_.family = FontFamily::Any; break;
    case Word::FamilyRoman: font_.family = FontFamily::Serif; break;
    case Word::FamilySwiss: font_.family = FontFamily::SansSerif; break;
    case Word::FamilyModern: font_.family = FontFamily::TypeWriter; break;
    case Word::FamilyScript: font_.family = FontFamily::Cursive; break;
    case Word::FamilyDecor: font_.family = FontFamily::Decorative; break;
    case Word::FamilyTech: font_.symbol = true; break;
    case Word::Charset:
      if (parameter == 2) font_.symbol = true;
      break;
    case Word::Red:
    case Word::Green:
    case Word::Blue: {
      const auto part = static_cast<std::uint8_t>(std::clamp(parameter, 0, 255));
      if (!color_) color_.emplace();
      (w == Word::Red ? color_->red : w == Word::Green ? color_->green : color_->blue) = part;
      break;
    }
  }
}

void Tokenizer::storeFont() {
  std::u16string name = Trimmed(font_.name);
  if (fontNumber_ >= 0 && !name.empty() && (fonts_.size() < kMaxTableEntries || fonts_.contains(fontNumber_))) {
    const bool symbol = font_.symbol || name == u"Symbol" || name.starts_with(u"Wingdings");
    fonts_[fontNumber_] = Font{std::move(name), font_.family, symbol};
    handler_->tablesChanged();
  }
  font_ = Font{};
  fontNumber_ = -1;
}

bool Tokenizer::isSymbolFont(int number) const {
  const Font* entry = font(number);
  return entry != nullptr && entry->symbol;
}

void Tokenizer::flush() {
  if (pending_.empty()) return;
  handler_->text(pending_, pendingFormat_);
  pending_.clear();
}

void Tokenizer::paragraph() {
  if (state().destination != Destination::Text) return;
  flush();
  handler_->paragraph(state().para, state().chars, false);
}

}  // namespace pagesift::rtf
