// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The reading half of the RTF reader, on the C++ standard library alone: it
// walks the bytes (groups, control words, text, escapes), keeps the state
// each group carries and the font and colour tables, and hands the text on
// in runs of one formatting and the paragraph ends. What it hands on is
// bounded by the input: at most one character per byte, no character the
// text document gives a meaning of its own (paragraph and frame marks,
// objects, control characters other than tab), font sizes from 6 to 144 pt,
// indents and spacing within 22 inches.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pagesift::rtf {

inline constexpr int kDefaultHalfPoints = 24;
inline constexpr int kMinHalfPoints = 12;   // 6 pt
inline constexpr int kMaxHalfPoints = 288;  // 144 pt
inline constexpr int kMaxTwips = 31680;     // 22 inches
inline constexpr int kMaxTabStops = 64;
inline constexpr std::size_t kMaxTextPiece = 65536;  // characters a Handler::text call carries at most

enum class Alignment : std::uint8_t { Left, Center, Right, Justify };
enum class FontFamily : std::uint8_t { Any, Serif, SansSerif, TypeWriter, Cursive, Decorative };

struct CharFormat {
  int font = -1;  // font-table number; -1 = the document's default font
  int halfPoints = kDefaultHalfPoints;
  int color = 0;  // colour-table index; 0 = automatic
  int highlight = 0;
  std::int8_t script = 0;  // 1 superscript, -1 subscript
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  bool operator==(const CharFormat&) const = default;
};

// Lengths in twips.
struct ParagraphFormat {
  Alignment alignment = Alignment::Left;
  int left = 0;
  int right = 0;
  int first = 0;
  int before = 0;
  int after = 0;
  std::span<const std::int16_t> tabs() const { return {tabStops.data(), static_cast<std::size_t>(tabCount)}; }
  // Fixed room, so that the state a group copies is small and needs no
  // allocation (kMaxTwips fits 16 bits).
  std::array<std::int16_t, kMaxTabStops> tabStops{};
  int tabCount = 0;
  bool operator==(const ParagraphFormat&) const = default;
};

struct Font {
  std::u16string name;
  FontFamily family = FontFamily::Any;
  bool symbol = false;  // its characters are shown through FromSymbolFont's mapping, in the default font
};

struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// What the tokenizer hands on, in document order.
class Handler {
 public:
  virtual ~Handler() = default;
  // Text in one formatting. A long text comes in pieces of kMaxTextPiece
  // characters; otherwise two calls in a row carry different formatting.
  virtual void text(std::u16string_view characters, const CharFormat& format) = 0;
  // The end of a paragraph, with the formatting in effect there; `last`: the
  // document's end, which closes the last paragraph and comes exactly once.
  virtual void paragraph(const ParagraphFormat& paragraph, const CharFormat& format, bool last) = 0;
  // The font or colour table changed: what was looked up in them may be stale.
  virtual void tablesChanged() = 0;
  // True when the handler takes nothing more: reading stops (the document's
  // end is still handed on).
  virtual bool full() const { return false; }
};

// The control words the tokenizer acts on (the table is with the code).
enum class ControlWord : std::uint8_t;

// True when `bytes` begin with "{\rtf".
bool IsRtf(std::string_view bytes);

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view bytes);

  // Reads the input once, to its end or until the handler is full;
  // malformed or truncated input hands on what could be read.
  void read(Handler& handler);

  // The font a character format names, when the font table has it.
  const Font* font(int number) const;
  // The colour of a colour-table index; nothing for automatic (0), an index
  // past the table or an entry without a colour.
  std::optional<Color> color(int index) const;

 private:
  enum class Destination : std::uint8_t { Text, Skip, FontTable, ColorTable };
  struct GroupState {
    CharFormat chars;
    ParagraphFormat para;
    int uc = 1;  // fallback characters after \u
    Destination destination = Destination::Text;
  };
  // A group starts with the state of the one around it: the state is
  // copied only when the group changes it.
  struct SavedState {
    GroupState state;
    int shared = 0;  // groups opened on this state that have not changed it
  };
  const GroupState& state() const { return stack_.back().state; }
  GroupState& changeState();
  // Inside the document's outermost group, where destinations may begin.
  bool nested() const { return depth_ > 1; }
  void openGroup();
  bool closeGroup();
  void textRun();
  void byteCharacter(unsigned char byte);
  void character(char16_t ch);
  void unicodeCharacter(int code);
  void controlSequence();
  void controlSymbol(char c);
  void word(ControlWord w, bool hasParameter, int parameter);
  void storeFont();
  bool isSymbolFont(int number) const;
  void flush();
  void paragraph();

  std::string_view data_;
  std::size_t pos_ = 0;
  Handler* handler_ = nullptr;
  std::vector<SavedState> stack_;
  std::size_t depth_ = 0;  // groups open, up to the depth limit
  int overflow_ = 0;       // groups opened past the depth limit and not yet closed
  int fallback_ = 0;       // \u fallback characters still to skip

  std::u16string pending_;  // text not handed on yet, in pendingFormat_
  CharFormat pendingFormat_;
  bool pendingSymbol_ = false;

  std::unordered_map<int, Font> fonts_;
  int defaultFont_ = 0;
  Font font_;  // the font-table entry being read, its name untrimmed
  int fontNumber_ = -1;

  std::vector<std::optional<Color>> colors_;
  std::optional<Color> color_;  // the colour-table entry being read
};

}  // namespace pagesift::rtf
