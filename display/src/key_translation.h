// The two key passes of a key message: the raw pass gives the key's own code,
// the character pass the code of what it types. Codes below 0x20 mean "no
// code" and raise nothing.
#pragma once

#include <cstdint>

namespace tzx::display {

// Host key codes of the keys that have no character.
enum HostKey : int {
  kKeyUp = 0x100,
  kKeyDown = 0x101,
  kKeyRight = 0x102,
  kKeyLeft = 0x103,
  kKeyF1 = 0x105,
  kKeyBackspace = 0x10F,
  kKeyTab = 0x110,
  kKeyKeypadEnter = 0x111,
  kKeyEnter = 0x112,
  kKeyEscape = 0x113,
  kKeySpace = 0x114,
  kKeyDelete = 0x115,
  kKeyKeypad0 = 0x123,
  kKeyLeftShift = 0x132,
  kKeyRightShift = 0x133,
  kKeyLeftAlt = 0x134,
  kKeyRightAlt = 0x135,
  kKeyLeftControl = 0x138,
  kKeyRightControl = 0x139,
};

// Raw pass: a modifier or Enter by its scan code, then the virtual-key table,
// then digits and letters as their virtual keys; -1 for other keys.
int RawKeyCode(uint32_t virtualKey, uint32_t scanCode);

// Character pass: the virtual-key table up to its keypad entries, otherwise
// the character the key types (`character`, 0 for none).
int CharacterKeyCode(uint32_t virtualKey, uint32_t character);

}  // namespace tzx::display
