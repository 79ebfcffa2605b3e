// What a key types on a US keyboard, for back ends without a keyboard layout.
#include "platform/window_backend.h"

namespace tzx::platform {

namespace {

struct Punctuation {
  uint32_t virtualKey;
  char plain;
  char shifted;
};

constexpr Punctuation kPunctuation[] = {
    {kVkOem1, ';', ':'},     {kVkOemPlus, '=', '+'},   {kVkOemComma, ',', '<'},
    {kVkOemMinus, '-', '_'}, {kVkOemPeriod, '.', '>'}, {kVkOem2, '/', '?'},
    {kVkOem3, '`', '~'},     {kVkOem4, '[', '{'},      {kVkOem5, '\\', '|'},
    {kVkOem6, ']', '}'},     {kVkOem7, '\'', '"'},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

uint32_t UsKeyboardCharacter(uint32_t vk, uint32_t modifiers) {
  bool shift = modifiers & kModShift;
  // Control and Alt combinations type no character.
  if (modifiers & (kModControl | kModAlt)) return 0;
  if (vk >= 'A' && vk <= 'Z') {
    bool upper = shift != ((modifiers & kModCapsLock) != 0);
    return upper ? vk : vk + ('a' - 'A');
  }
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : vk;
  if (vk >= kVkNumpad0 && vk <= kVkNumpad9) return '0' + (vk - kVkNumpad0);
  switch (vk) {
    case kVkMultiply:
      return '*';
    case kVkAdd:
      return '+';
    case kVkSubtract:
      return '-';
    case kVkDecimal:
      return '.';
    case kVkDivide:
      return '/';
    case kVkSpace:
      return ' ';
    case kVkReturn:
      return '\r';
    case kVkTab:
      return '\t';
    case kVkBack:
      return 0x08;
    case kVkEscape:
      return 0x1B;
    default:
      break;
  }
  for (const Punctuation& p : kPunctuation) {
    if (p.virtualKey == vk) return shift ? p.shifted : p.plain;
  }
  return 0;
}

}  // namespace tzx::platform
