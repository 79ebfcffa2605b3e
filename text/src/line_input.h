// The line that InKeyStr edits: characters filtered on entry, a caret, and
// the byte limit of its buffer. Keys act by the host's key codes. No
// interpreter state: the editing is tested directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::text {

// The buffer's bytes, its terminating NUL included.
inline constexpr int kInputBufferBytes = 4096;

// Host key codes the input acts on.
enum InputKey : int {
  kInputKeyRight = 0x102,
  kInputKeyLeft = 0x103,
  kInputKeyBackspace = 0x10F,
  kInputKeyEnter = 0x111,  // keypad Enter
  kInputKeyReturn = 0x112,
  kInputKeyEscape = 0x113,
  kInputKeyDelete = 0x115,
  kInputKeyLeftControl = 0x138,
  kInputKeyRightControl = 0x139,
  kInputKeyPaste = 0x56,  // V, with Ctrl
};

enum class InputResult { kNone, kChanged, kEnded, kCancelled, kPaste };

struct LineInput {
  uint32_t chars[kInputBufferBytes];  // code points
  int32_t count = 0;
  int32_t caret = 0;     // 0..count
  int32_t bytes = 0;     // in the encoding, without the NUL
  int32_t filter = 0;    // ALL, ALPHANUMERICAL, ALPHABETICAL, NUMERICAL, HEXNUMERICAL
  int32_t maxChars = 0;  // 0: as many as the buffer holds
  bool utf8 = true;      // the host's encoding
  bool control = false;  // a Ctrl key is held
};

// Whether the filter lets the character in.
bool FilterAccepts(int filter, uint32_t c);

// Inserts at the caret, which moves past it; false when the filter, the
// length limit or the buffer refuses it (the line is unchanged).
bool InsertChar(LineInput* line, uint32_t c);

// A character event (code point) and a raw key event (host key code, down
// or up): what the input does with them.
InputResult TypeCharacter(LineInput* line, uint32_t c);
InputResult PressKey(LineInput* line, int code, bool down);

// The line in its encoding, or one "*" a character with `masked`; returns
// the length. `out` holds kInputBufferBytes bytes.
size_t EncodeLine(const LineInput& line, bool masked, char* out);

// Bytes of a character in the line's encoding.
int CharBytes(const LineInput& line, uint32_t c);

}  // namespace tzx::text
