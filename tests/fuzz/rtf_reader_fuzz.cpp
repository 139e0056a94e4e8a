// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The RTF reader and its tokenizer on arbitrary bytes, as they are and behind
// "{\rtf1 " so that most inputs reach the parser. The tokenizer runs with a
// handler that checks what it is handed: never more characters than the
// input has bytes, none the text document gives a meaning of its own,
// formats within their bounds, two runs in a row in different formats
// unless a long text is in pieces, and the document's end exactly once.

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "support/rtf_reader.h"
#include "support/rtf_tokenizer.h"

namespace {

namespace rtf = pagesift::rtf;
using pagesift::fuzz::require;

bool withinBounds(const rtf::CharFormat& format) {
  return format.halfPoints >= rtf::kMinHalfPoints && format.halfPoints <= rtf::kMaxHalfPoints && format.font >= -1 &&
         format.color >= 0 && format.highlight >= 0;
}

bool withinBounds(const rtf::ParagraphFormat& paragraph) {
  const auto twips = [](int value) { return value >= -rtf::kMaxTwips && value <= rtf::kMaxTwips; };
  const auto tabs = paragraph.tabs();
  return twips(paragraph.left) && twips(paragraph.right) && twips(paragraph.first) && twips(paragraph.before) &&
         twips(paragraph.after) && paragraph.before >= 0 && paragraph.after >= 0 && paragraph.tabCount >= 0 &&
         paragraph.tabCount <= rtf::kMaxTabStops &&
         std::all_of(tabs.begin(), tabs.end(), [](std::int16_t tab) { return tab > 0 && tab <= rtf::kMaxTwips; });
}

class Checker final : public rtf::Handler {
 public:
  explicit Checker(const rtf::Tokenizer& tables) : tables_(tables) {}

  void text(std::u16string_view characters, const rtf::CharFormat& format) override {
    require(!ended_, "text after the document's end");
    require(!characters.empty(), "empty text");
    require(withinBounds(format) && !format.hidden, "character format out of bounds, or hidden");
    require(!hadText_ || !(format == last_) || lastSize_ == rtf::kMaxTextPiece, "two runs in a row in one format");
    for (const char16_t c : characters) {
      require(c >= 0x20 || c == u'\t', "control character in the text");
      require(c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC, "a character the document gives a meaning");
    }
    if (const rtf::Font* font = tables_.font(format.font)) require(!font->name.empty(), "font without a name");
    characters_ += characters.size();
    hadText_ = true;
    last_ = format;
    lastSize_ = characters.size();
  }

  void paragraph(const rtf::ParagraphFormat& paragraph, const rtf::CharFormat& format, bool last) override {
    require(!ended_, "paragraph after the document's end");
    require(withinBounds(paragraph) && withinBounds(format), "format out of bounds at a paragraph's end");
    ended_ = last;
    hadText_ = false;
  }

  void tablesChanged() override {}

  bool ended() const { return ended_; }
  std::size_t characters() const { return characters_; }

 private:
  const rtf::Tokenizer& tables_;
  bool ended_ = false;
  bool hadText_ = false;
  rtf::CharFormat last_;
  std::size_t lastSize_ = 0;
  std::size_t characters_ = 0;
};

void check(std::string_view bytes) {
  rtf::Tokenizer tokenizer(bytes);
  Checker checker(tokenizer);
  tokenizer.read(checker);
  require(checker.ended(), "no document's end");
  require(checker.characters() <= bytes.size(), "more characters than bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_reader_fuzz";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string behindHeader = "{\\rtf1 " + std::string(input);
  for (const std::string_view bytes : {input, std::string_view(behindHeader)}) {
    check(bytes);
    QTextDocument document;
    pagesift::ReadRtf(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), document);
  }
  return 0;
}
