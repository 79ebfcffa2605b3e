#include "pattern.h"

#include <cstring>

namespace tzx::dos {
namespace {

using Byte = unsigned char;

inline bool Special(char c) {
  return c == '*' || c == '?' || c == '#' || c == '[';
}

bool Plain(std::string_view s) {
  for (char c : s) {
    if (Special(c)) return false;
  }
  return true;
}

// The set starting at pattern[at] == '['. Returns the index just past its
// closing ']', or 0 when it has none (the '[' then stands for itself); sets
// `matched` for `c`.
size_t MatchSet(std::string_view p, size_t at, Byte c, bool* matched) {
  size_t i = at + 1;
  bool negate = i < p.size() && p[i] == '!';
  if (negate) ++i;
  bool in = false;
  bool first = true;
  for (; i < p.size(); first = false) {
    Byte lo = static_cast<Byte>(p[i]);
    if (lo == ']' && !first) {
      *matched = in != negate;
      return i + 1;
    }
    if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']' &&
        lo < static_cast<Byte>(p[i + 2])) {
      in |= c >= lo && c <= static_cast<Byte>(p[i + 2]);
      i += 3;
    } else {
      in |= c == lo;
      ++i;
    }
  }
  return 0;
}

// One alternative against the whole text. Every token but '*' takes exactly
// one character, so going back to the last star and letting it take one more
// character finds a match whenever there is one.
bool MatchOne(std::string_view t, std::string_view p) {
  size_t ti = 0, pi = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (ti < t.size()) {
    if (pi < p.size()) {
      const char pc = p[pi];
      const Byte c = static_cast<Byte>(t[ti]);
      if (pc == '*') {
        while (pi < p.size() && p[pi] == '*') ++pi;
        if (pi == p.size()) return true;  // the rest of the text
        std::string_view rest = p.substr(pi);
        // A plain tail after the last star ("*.jpg") can only match the end.
        if (Plain(rest)) {
          return t.size() - ti >= rest.size() && t.substr(t.size() - rest.size()) == rest;
        }
        starP = pi;
        starT = ti;
        if (!Special(rest[0])) {
          // The star ends where the next plain character occurs.
          size_t at = t.find(rest[0], ti);
          if (at == std::string_view::npos) return false;
          starT = ti = at;
        }
        continue;
      }
      size_t next = pi + 1;
      bool ok;
      switch (pc) {
        case '?':
          ok = true;
          break;
        case '#':
          ok = c >= '0' && c <= '9';
          break;
        case '[': {
          size_t end = MatchSet(p, pi, c, &ok);
          if (end) {
            next = end;
          } else {
            ok = c == '[';
          }
          break;
        }
        default:
          ok = static_cast<Byte>(pc) == c;
          break;
      }
      if (ok) {
        ++ti;
        pi = next;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    pi = starP;
    ti = ++starT;
    if (!Special(p[pi])) {
      size_t at = t.find(p[pi], ti);
      if (at == std::string_view::npos) return false;
      starT = ti = at;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool CompiledPattern::Compile(std::string_view pattern) {
  compiled_ = false;
  length_ = 0;
  count_ = 0;
  if (pattern.size() > kMaxLength) return false;
  std::memcpy(text_, pattern.data(), pattern.size());
  length_ = static_cast<uint16_t>(pattern.size());
  // The same walk as MatchesPattern: an empty alternative ends the list.
  size_t at = 0;
  while (at < pattern.size()) {
    size_t end = pattern.find(';', at);
    if (end == std::string_view::npos) end = pattern.size();
    if (end == at) break;
    if (count_ == kMaxAlternatives) return false;
    std::string_view p = pattern.substr(at, end - at);
    Alternative& a = alternatives_[count_++];
    a.start = static_cast<uint16_t>(at);
    a.length = static_cast<uint16_t>(p.size());
    a.head = a.tail = 0;
    const size_t star = p.find('*');
    if (Plain(p)) {
      a.shape = kPlain;
    } else if (star != std::string_view::npos && Plain(p.substr(0, star)) &&
               Plain(p.substr(star + 1))) {
      a.head = static_cast<uint16_t>(star);
      a.tail = static_cast<uint16_t>(p.size() - star - 1);
      a.shape = star == 0 ? kTail : star + 1 == p.size() ? kHead : kHeadTail;
    } else {
      a.shape = kGeneral;
    }
    at = end + 1;
  }
  compiled_ = true;
  return true;
}

bool CompiledPattern::Matches(std::string_view text) const {
  for (int i = 0; i < count_; ++i) {
    const Alternative& a = alternatives_[i];
    const char* p = text_ + a.start;
    bool ok;
    switch (a.shape) {
      case kPlain:
        ok = text == std::string_view(p, a.length);
        break;
      case kGeneral:
        ok = MatchOne(text, std::string_view(p, a.length));
        break;
      default:  // a star between two plain parts, either of them maybe empty
        ok = text.size() >= a.head + a.tail &&
             text.substr(0, a.head) == std::string_view(p, a.head) &&
             text.substr(text.size() - a.tail) == std::string_view(p + a.length - a.tail, a.tail);
        break;
    }
    if (ok) return true;
  }
  return false;
}

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  while (!pattern.empty()) {
    size_t end = pattern.find(';');
    std::string_view alternative = pattern.substr(0, end);
    if (alternative.empty()) return false;
    if (MatchOne(text, alternative)) return true;
    if (end == std::string_view::npos) return false;
    pattern.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace tzx::dos
