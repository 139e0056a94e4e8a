#include "analysis/source_view.h"

#include <algorithm>
#include <deque>
#include <map>
#include <unordered_map>

#include "analysis/html_escape.h"
#include "analysis/pattern_index.h"
#include "analysis/text_helpers.h"

namespace pagesift {
namespace {

constexpr std::string_view kAnchorEnd = "</a>";

std::string AnchorStart(std::string_view address) { return "<a href='" + EscapeAttribute(address) + "'>"; }

// Replacing a name N by AnchorStart + N + "</a>" keeps N's characters where
// they are and only inserts text around them, so the text after any number
// of passes is the page text with inserted pieces, and each piece may hold
// further inserted pieces. Every inserted piece begins with "<" and ends with
// ">"; a name without those characters therefore never matches across the
// edge of a piece, and each pass only has to look at the places where its
// name occurs inside the page text or inside the pieces that contain it,
// instead of scanning the whole text once per name.
class IncrementalLinker {
 public:
  IncrementalLinker(std::string_view text, const std::vector<LinkPass>& passes) : passes_(passes) {
    sources_.emplace_back(text);
    sources_.emplace_back(kAnchorEnd);
    for (const LinkPass& pass : passes_) sources_.push_back(AnchorStart(pass.address));
    piecesOf_.resize(sources_.size());
    IndexNames();
    NewPiece(kPageSource);
  }

  std::string Run() {
    for (size_t i = 0; i < passes_.size(); ++i) {
      if (passes_[i].name.empty()) continue;
      const size_t pattern = patternOfPass_[i];
      // Only the pieces that stand before the pass are searched, never the
      // ones it inserts.
      std::vector<size_t> existing;
      for (const size_t source : sourcesWith_[pattern]) existing.push_back(piecesOf_[source].size());
      for (size_t s = 0; s < existing.size(); ++s) {
        const size_t source = sourcesWith_[pattern][s];
        const std::vector<size_t>& offsets = offsets_.at(Key(source, pattern));
        for (size_t k = 0; k < existing[s]; ++k) {
          LinkInPiece(piecesOf_[source][k], offsets, passes_[i].name.size(), AnchorSourceOf(i));
        }
      }
    }
    return Text();
  }

 private:
  static constexpr size_t kPageSource = 0;
  static constexpr size_t kAnchorEndSource = 1;

  struct Piece {
    size_t source;
    std::map<size_t, std::deque<size_t>> inserts;  // offset in the source -> pieces placed there, in order
  };

  static uint64_t Key(size_t source, size_t pattern) { return (uint64_t{source} << 32) | pattern; }
  static size_t AnchorSourceOf(size_t pass) { return 2 + pass; }

  void IndexNames() {
    std::unordered_map<std::string_view, size_t> patternIds;
    std::vector<std::string_view> patterns;
    for (const LinkPass& pass : passes_) {
      size_t id = 0;
      if (!pass.name.empty()) {
        const auto [it, added] = patternIds.emplace(pass.name, patterns.size());
        if (added) patterns.push_back(pass.name);
        id = it->second;
      }
      patternOfPass_.push_back(id);
    }
    sourcesWith_.resize(patterns.size());
    if (patterns.empty()) return;
    const PatternIndex index(patterns);
    for (size_t source = 0; source < sources_.size(); ++source) {
      index.ForEachMatch(sources_[source], [&](size_t pattern, size_t offset) {
        std::vector<size_t>& offsets = offsets_[Key(source, pattern)];
        if (offsets.empty()) sourcesWith_[pattern].push_back(source);
        offsets.push_back(offset);
      });
    }
  }

  size_t NewPiece(size_t source) {
    pieces_.push_back(Piece{source, {}});
    piecesOf_[source].push_back(pieces_.size() - 1);
    return pieces_.size() - 1;
  }

  bool InsertInside(const Piece& piece, size_t begin, size_t end) const {
    const auto next = piece.inserts.upper_bound(begin);
    return next != piece.inserts.end() && next->first < end;
  }

  void LinkInPiece(size_t pieceId, const std::vector<size_t>& offsets, size_t length, size_t anchorSource) {
    std::vector<size_t> starts;
    size_t scannedTo = 0;
    for (const size_t offset : offsets) {
      if (offset < scannedTo || InsertInside(pieces_[pieceId], offset, offset + length)) continue;
      starts.push_back(offset);
      scannedTo = offset + length;
    }
    for (const size_t start : starts) {
      const size_t anchor = NewPiece(anchorSource);
      const size_t anchorEnd = NewPiece(kAnchorEndSource);
      // The start goes right before the name; the end right after it, ahead
      // of anything earlier passes placed at that point.
      pieces_[pieceId].inserts[start].push_back(anchor);
      pieces_[pieceId].inserts[start + length].push_front(anchorEnd);
    }
  }

  std::string Text() const {
    struct Frame {
      size_t piece;
      std::map<size_t, std::deque<size_t>>::const_iterator at;
      size_t copied;
      size_t child;
    };
    std::string out;
    out.reserve(sources_[kPageSource].size() + 64 * pieces_.size());
    std::vector<Frame> stack{{0, pieces_[0].inserts.begin(), 0, 0}};
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const Piece& piece = pieces_[frame.piece];
      const std::string_view source = sources_[piece.source];
      if (frame.at == piece.inserts.end()) {
        out.append(source.substr(frame.copied));
        stack.pop_back();
        continue;
      }
      if (frame.copied < frame.at->first) {
        out.append(source.substr(frame.copied, frame.at->first - frame.copied));
        frame.copied = frame.at->first;
      }
      if (frame.child < frame.at->second.size()) {
        const size_t child = frame.at->second[frame.child++];
        stack.push_back(Frame{child, pieces_[child].inserts.begin(), 0, 0});
      } else {
        ++frame.at;
        frame.child = 0;
      }
    }
    return out;
  }

  const std::vector<LinkPass>& passes_;
  std::vector<std::string> sources_;
  std::vector<size_t> patternOfPass_;
  std::vector<std::vector<size_t>> sourcesWith_;        // pattern -> sources holding it, in order
  std::unordered_map<uint64_t, std::vector<size_t>> offsets_;  // (source, pattern) -> offsets
  std::vector<Piece> pieces_;
  std::vector<std::vector<size_t>> piecesOf_;  // source -> its pieces
};

bool NameMayCrossPieces(const LinkPass& pass) { return pass.name.find_first_of("<>") != std::string::npos; }

}  // namespace

std::string EscapeSourceText(std::string_view page) {
  return ReplaceAll(ReplaceAll(ReplaceAll(page, "<", "&lt;"), "\r", "<BR>"), "\n", "<BR>");
}

std::string FileNameAnchor(std::string_view name, std::string_view address) {
  return AnchorStart(address) + std::string(name) + std::string(kAnchorEnd);
}

std::string LinkFileNames(std::string_view text, const std::vector<LinkPass>& passes) {
  if (std::any_of(passes.begin(), passes.end(), NameMayCrossPieces)) return LinkFileNamesOneByOne(text, passes);
  return IncrementalLinker(text, passes).Run();
}

std::string LinkFileNamesOneByOne(std::string_view text, const std::vector<LinkPass>& passes) {
  std::string result(text);
  for (const LinkPass& pass : passes) result = ReplaceAll(result, pass.name, FileNameAnchor(pass.name, pass.address));
  return result;
}

}  // namespace pagesift
