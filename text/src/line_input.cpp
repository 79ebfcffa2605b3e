#include "line_input.h"

#include <cstring>

namespace tzx::text {

namespace {

bool IsDigit(uint32_t c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(uint32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsHex(uint32_t c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void Remove(LineInput* line, int at) {
  line->bytes -= CharBytes(*line, line->chars[at]);
  std::memmove(line->chars + at, line->chars + at + 1, (line->count - at - 1) * sizeof(uint32_t));
  --line->count;
}

}  // namespace

bool FilterAccepts(int filter, uint32_t c) {
  switch (filter) {
    case 1:
      return IsLetter(c) || IsDigit(c);
    case 2:
      return IsLetter(c);
    case 3:
      return IsDigit(c);
    case 4:
      return IsHex(c);
    default:
      return true;
  }
}

int CharBytes(const LineInput& line, uint32_t c) {
  if (!line.utf8) return 1;
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

bool InsertChar(LineInput* line, uint32_t c) {
  // Control characters are keys, not text; 8-bit text has no room above 255.
  if (c < 0x20 || c == 0x7F || (!line->utf8 && c > 0xFF) || c > 0x10FFFF) return false;
  if (!FilterAccepts(line->filter, c)) return false;
  if (line->maxChars > 0 && line->count >= line->maxChars) return false;
  const int bytes = CharBytes(*line, c);
  if (line->bytes + bytes > kInputBufferBytes - 1) return false;
  std::memmove(line->chars + line->caret + 1, line->chars + line->caret,
               (line->count - line->caret) * sizeof(uint32_t));
  line->chars[line->caret++] = c;
  ++line->count;
  line->bytes += bytes;
  return true;
}

InputResult TypeCharacter(LineInput* line, uint32_t c) {
  // Return and Enter end the input as keys; as characters they are pasted
  // line ends.
  if (c == '\r' || c == '\n') return InputResult::kEnded;
  return InsertChar(line, c) ? InputResult::kChanged : InputResult::kNone;
}

InputResult PressKey(LineInput* line, int code, bool down) {
  if (code == kInputKeyLeftControl || code == kInputKeyRightControl) {
    line->control = down;
    return InputResult::kNone;
  }
  if (!down) return InputResult::kNone;
  switch (code) {
    case kInputKeyLeft:
      if (line->caret == 0) return InputResult::kNone;
      --line->caret;
      return InputResult::kChanged;
    case kInputKeyRight:
      if (line->caret == line->count) return InputResult::kNone;
      ++line->caret;
      return InputResult::kChanged;
    case kInputKeyBackspace:
      if (line->caret == 0) return InputResult::kNone;
      Remove(line, --line->caret);
      return InputResult::kChanged;
    case kInputKeyDelete:
      if (line->caret == line->count) return InputResult::kNone;
      Remove(line, line->caret);
      return InputResult::kChanged;
    case kInputKeyReturn:
    case kInputKeyEnter:
      return InputResult::kEnded;
    case kInputKeyEscape:
      return InputResult::kCancelled;
    case kInputKeyPaste:
      return line->control ? InputResult::kPaste : InputResult::kNone;
    default:
      return InputResult::kNone;
  }
}

size_t EncodeLine(const LineInput& line, bool masked, char* out) {
  size_t n = 0;
  for (int i = 0; i < line.count; ++i) {
    const uint32_t c = masked ? '*' : line.chars[i];
    if (!line.utf8 || c < 0x80) {
      out[n++] = static_cast<char>(c);
    } else if (c < 0x800) {
      out[n++] = static_cast<char>(0xC0 | c >> 6);
      out[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out[n++] = static_cast<char>(0xE0 | c >> 12);
      out[n++] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out[n++] = static_cast<char>(0xF0 | c >> 18);
      out[n++] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out[n++] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  out[n] = '\0';
  return n;
}

}  // namespace tzx::text
