#include "format_tags.h"

#include <cstdlib>
#include <cstring>

#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::text {

namespace {

enum class TagName {
  kBold,
  kItalic,
  kUnderlined,
  kColor,
  kPen,
  kShadow,
  kEdge,
  kBulletColor,
  kBulletPen
};

struct NameRow {
  const char* name;
  TagName tag;
  int maxValues;  // 0: no values; valued tags must have "=" when minValues is 1
  int minValues;
};

constexpr NameRow kNames[] = {
    {"b", TagName::kBold, 0, 0},
    {"i", TagName::kItalic, 0, 0},
    {"u", TagName::kUnderlined, 0, 0},
    {"color", TagName::kColor, 1, 1},
    {"pen", TagName::kPen, 1, 1},
    {"shadow", TagName::kShadow, 3, 0},
    {"edge", TagName::kEdge, 2, 0},
    {"border", TagName::kEdge, 2, 0},
    {"bulletcolor", TagName::kBulletColor, 1, 1},
    {"bulletpen", TagName::kBulletPen, 1, 1},
};

struct Cursor {
  const char* text;
  size_t length;
  size_t at;

  bool AtEnd() const { return at >= length; }
  char Peek() const { return at < length ? text[at] : '\0'; }
  void SkipBlanks() {
    while (at < length && (text[at] == ' ' || text[at] == '\t')) ++at;
  }
};

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EqualNoCase(const char* a, size_t n, const char* b) {
  if (std::strlen(b) != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

// A number as the script language reads it: decimal, "0x" hexadecimal, with
// fraction and exponent; truncated to an integer.
bool ParseNumber(const char* s, size_t n, int32_t* out) {
  char buffer[64];
  if (n == 0 || n >= sizeof(buffer)) return false;
  std::memcpy(buffer, s, n);
  buffer[n] = '\0';
  char* end = nullptr;
  double v;
  if (n > 2 && buffer[0] == '0' && (buffer[1] == 'x' || buffer[1] == 'X')) {
    v = static_cast<double>(std::strtoull(buffer + 2, &end, 16));
    if (end == buffer + 2) return false;
  } else {
    v = std::strtod(buffer, &end);
  }
  if (end != buffer + n || !(v > -4294967296.0 && v < 4294967296.0)) return false;
  *out = static_cast<int32_t>(static_cast<int64_t>(v));
  return true;
}

// One value: up to a blank, "," or "]".
int ReadValue(Cursor* c, const TagConstants& constants, int32_t* out) {
  c->SkipBlanks();
  if (c->Peek() == '"') return kErrQuotedTagValue;
  const size_t start = c->at;
  while (!c->AtEnd()) {
    const char ch = c->Peek();
    if (ch == ' ' || ch == '\t' || ch == ',' || ch == ']') break;
    ++c->at;
  }
  if (c->AtEnd()) return kErrTagNotClosed;
  const char* v = c->text + start;
  const size_t n = c->at - start;
  if (n > 0 && v[0] == '#') {
    if (!constants.resolve) return kErrRange;
    return constants.resolve(constants.context, v + 1, n - 1, out);
  }
  return ParseNumber(v, n, out) ? 0 : kErrRange;
}

int Push(FormatState* state, uint32_t v) {
  return state->pushed.Push(v) ? 0 : kErrNoMemory;
}

int Close(TagName tag, FormatState* state) {
  TextStyle& s = state->style;
  switch (tag) {
    case TagName::kBold:
      s.flags &= ~graphics::kBold;
      break;
    case TagName::kItalic:
      s.flags &= ~graphics::kItalic;
      break;
    case TagName::kUnderlined:
      s.flags &= ~graphics::kUnderlined;
      break;
    case TagName::kShadow:
      s.flags &= ~graphics::kShadow;
      break;
    case TagName::kEdge:
      s.flags &= ~graphics::kEdge;
      break;
    case TagName::kColor:
    case TagName::kPen:
      if (state->pushed.empty()) return kErrUnexpectedClose;
      if (tag == TagName::kColor) {
        s.fontColor = state->pushed.back();
      } else {
        s.fontPen = static_cast<int32_t>(state->pushed.back());
      }
      state->pushed.Resize(state->pushed.size() - 1);
      break;
    case TagName::kBulletColor:
    case TagName::kBulletPen:
      return kErrUnexpectedClose;
  }
  if (s.flags == 0) s.flags = graphics::kNormal;
  return 0;
}

void SetFlag(TextStyle* s, int flag) {
  s->flags = (s->flags & ~graphics::kNormal) | flag;
}

// Colour values of shadow and edge tags are pens on palette outputs.
void SetColorOrPen(bool paletteMode, int32_t value, uint32_t* color, int32_t* pen) {
  if (paletteMode) {
    *pen = value;
  } else {
    *color = static_cast<uint32_t>(value);
  }
}

int Open(TagName tag, const int32_t* values, int count, FormatState* state) {
  TextStyle& s = state->style;
  switch (tag) {
    case TagName::kBold:
      SetFlag(&s, graphics::kBold);
      return 0;
    case TagName::kItalic:
      SetFlag(&s, graphics::kItalic);
      return 0;
    case TagName::kUnderlined:
      SetFlag(&s, graphics::kUnderlined);
      return 0;
    case TagName::kColor:
      if (state->paletteMode) return kErrColorTagInPalette;
      if (int rc = Push(state, s.fontColor)) return rc;
      s.fontColor = static_cast<uint32_t>(values[0]);
      return 0;
    case TagName::kPen:
      if (!state->paletteMode) return kErrPenTagInRgb;
      if (int rc = Push(state, static_cast<uint32_t>(s.fontPen))) return rc;
      s.fontPen = values[0];
      return 0;
    case TagName::kShadow:
      if (count >= 2 && (values[1] < 1 || values[1] > 64)) return kErrRange;
      SetFlag(&s, graphics::kShadow);
      if (count >= 1) SetColorOrPen(state->paletteMode, values[0], &s.shadowColor, &s.shadowPen);
      if (count >= 2) s.shadowSize = values[1];
      if (count >= 3) s.shadowDir = values[2];
      ClampTextStyle(&s);
      return 0;
    case TagName::kEdge:
      if (count >= 2 && (values[1] < 1 || values[1] > 8)) return kErrRange;
      SetFlag(&s, graphics::kEdge);
      if (count >= 1) SetColorOrPen(state->paletteMode, values[0], &s.borderColor, &s.borderPen);
      if (count >= 2) s.borderSize = values[1];
      return 0;
    case TagName::kBulletColor:
      if (state->paletteMode) return kErrColorTagInPalette;
      s.bulletColor = static_cast<uint32_t>(values[0]);
      state->bulletColorChanged = true;
      return 0;
    case TagName::kBulletPen:
      if (!state->paletteMode) return kErrPenTagInRgb;
      s.bulletPen = values[0];
      state->bulletColorChanged = true;
      return 0;
  }
  return 0;
}

}  // namespace

int ApplyFormatTag(const char* text, size_t length, size_t at, const TagConstants& constants,
                   FormatState* state, size_t* end) {
  Cursor c{text, length, at + 1};
  c.SkipBlanks();
  const bool closing = c.Peek() == '/';
  if (closing) {
    ++c.at;
    c.SkipBlanks();
  }
  const size_t nameStart = c.at;
  while (!c.AtEnd() && IsNameChar(c.Peek())) ++c.at;
  if (c.AtEnd()) return kErrTagNotClosed;
  const char* name = text + nameStart;
  const size_t nameLength = c.at - nameStart;
  const NameRow* row = nullptr;
  for (const NameRow& r : kNames) {
    if (EqualNoCase(name, nameLength, r.name)) row = &r;
  }
  // "[b=1]" or "[bx]" are no flag tags: a flag name ends at a blank or "]".
  const char next = c.Peek();
  if (!row || (row->maxValues == 0 && next != ' ' && next != '\t' && next != ']')) {
    return kErrUnknownTag;
  }
  c.SkipBlanks();
  int32_t values[3] = {0, 0, 0};
  int count = 0;
  if (!closing && row->maxValues > 0) {
    if (c.Peek() == '=') {
      ++c.at;
      for (;;) {
        if (int rc = ReadValue(&c, constants, &values[count])) return rc;
        ++count;
        c.SkipBlanks();
        if (c.Peek() != ',' || count == row->maxValues) break;
        ++c.at;
      }
    } else if (row->minValues > 0) {
      return c.AtEnd() ? kErrTagNotClosed : kErrTagNeedsValue;
    }
  }
  c.SkipBlanks();
  if (c.Peek() != ']') return kErrTagNotClosed;
  *end = c.at + 1;
  return closing ? Close(row->tag, state) : Open(row->tag, values, count, state);
}

}  // namespace tzx::text
