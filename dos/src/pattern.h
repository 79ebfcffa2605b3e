// Wildcard patterns of MatchPattern and of the copy, move and delete filters.
// Pure: no host services, no allocation.
//
//   #       one digit '0' to '9'
//   ?       any one character
//   *       any run of characters, none included
//   [...]   one character of the set; a leading '!' negates it, a ']' right
//           after '[' (or '[!') is a member, "a-z" is a range when the left
//           character is lower than the right one; "[*]" matches a star, so a
//           set is also how a wildcard character is matched as itself
//   ;       separates alternatives; an empty alternative ends the list
//
// Matching is byte by byte and case-sensitive, over the whole text. A '['
// without its closing ']' matches itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tzx::dos {

bool MatchesPattern(std::string_view text, std::string_view pattern);

// A pattern prepared once for many names: split into its alternatives, each
// marked with its shape, so that the common ones ("*.txt", "file*", "a*.b",
// plain names) are compared directly instead of walked token by token. Plain
// data: it can live in a zero-filled record.
class CompiledPattern {
 public:
  static constexpr size_t kMaxLength = 256;
  static constexpr int kMaxAlternatives = 16;

  // False (and empty) when the pattern is longer or has more alternatives than
  // a compiled one keeps; MatchesPattern serves such a pattern.
  bool Compile(std::string_view pattern);
  bool Ready() const { return compiled_; }
  // Same result as MatchesPattern(text, pattern).
  bool Matches(std::string_view text) const;

 private:
  // kPlain: the text itself; kTail: '*' then plain letters; kHead: plain
  // letters then '*'; kHeadTail: plain, '*', plain; kGeneral: anything else.
  enum Shape : uint8_t { kPlain, kTail, kHead, kHeadTail, kGeneral };
  struct Alternative {
    uint16_t start, length;  // in text_
    uint16_t head, tail;     // plain letters before the star and after it
    Shape shape;
  };
  char text_[kMaxLength];
  Alternative alternatives_[kMaxAlternatives];
  uint16_t length_ = 0;
  uint8_t count_ = 0;
  bool compiled_ = false;
};

}  // namespace tzx::dos
