#include "sdl_keymap.h"

#include "platform/window_backend.h"

namespace tzx::platform {

namespace {

struct KeyRow {
  int usage;
  uint32_t virtualKey;
  uint32_t scanCode;
};

// Letters a..z are usages 4..29, digits 1..9 and 0 are 30..39.
constexpr uint8_t kLetterScans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                      0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                      0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

constexpr KeyRow kKeys[] = {
    {40, kVkReturn, kScanReturn},
    {41, kVkEscape, 0x01},
    {42, kVkBack, 0x0E},
    {43, kVkTab, 0x0F},
    {44, kVkSpace, 0x39},
    {45, kVkOemMinus, 0x0C},
    {46, kVkOemPlus, 0x0D},
    {47, kVkOem4, 0x1A},
    {48, kVkOem6, 0x1B},
    {49, kVkOem5, 0x2B},
    {51, kVkOem1, 0x27},
    {52, kVkOem7, 0x28},
    {53, kVkOem3, 0x29},
    {54, kVkOemComma, 0x33},
    {55, kVkOemPeriod, 0x34},
    {56, kVkOem2, 0x35},
    {57, kVkCapital, 0x3A},
    {68, kVkF1 + 10, 0x57},  // F11
    {69, kVkF12, 0x58},
    {70, kVkSnapshot, 0x137},
    {71, kVkScroll, 0x46},
    {72, kVkPause, 0x45},
    {73, kVkInsert, 0x152},
    {74, kVkHome, 0x147},
    {75, kVkPrior, 0x149},
    {76, kVkDelete, 0x153},
    {77, kVkEnd, 0x14F},
    {78, kVkNext, 0x151},
    {79, kVkRight, 0x14D},
    {80, kVkLeft, 0x14B},
    {81, kVkDown, 0x150},
    {82, kVkUp, 0x148},
    {83, kVkNumLock, 0x145},
    {84, kVkDivide, 0x135},
    {85, kVkMultiply, 0x37},
    {86, kVkSubtract, 0x4A},
    {87, kVkAdd, 0x4E},
    {88, kVkReturn, kScanKeypadReturn},
    {100, 0xE2, 0x56},   // the key beside left Shift on non-US keyboards
    {101, 0x5D, 0x15D},  // application (menu) key
    {224, kVkControl, kScanLeftControl},
    {225, kVkShift, kScanLeftShift},
    {226, kVkMenu, kScanLeftAlt},
    {227, 0x5B, 0x15B},  // left logo key
    {228, kVkControl, kScanRightControl},
    {229, kVkShift, kScanRightShift},
    {230, kVkMenu, kScanRightAlt},
    {231, 0x5C, 0x15C},  // right logo key
};

// Keypad 1..9, 0 and point (usages 89..99): scan codes, and the navigation
// keys they give with Num Lock off.
constexpr uint8_t kKeypadScans[11] = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D,
                                      0x47, 0x48, 0x49, 0x52, 0x53};
constexpr uint8_t kKeypadNavigation[11] = {kVkEnd,           kVkDown,   kVkNext,  kVkLeft,
                                           0x0C /* clear */, kVkRight,  kVkHome,  kVkUp,
                                           kVkPrior,         kVkInsert, kVkDelete};

}  // namespace

bool KeyFromUsage(int usage, uint32_t modifiers, uint32_t* vk, uint32_t* scan) {
  if (usage >= 4 && usage <= 29) {
    *vk = 'A' + (usage - 4);
    *scan = kLetterScans[usage - 4];
    return true;
  }
  if (usage >= 30 && usage <= 39) {
    *vk = usage == 39 ? '0' : '1' + (usage - 30);
    *scan = 0x02 + (usage - 30);
    return true;
  }
  if (usage >= 58 && usage <= 67) {  // F1..F10
    *vk = kVkF1 + (usage - 58);
    *scan = 0x3B + (usage - 58);
    return true;
  }
  if (usage >= 104 && usage <= 107) {  // F13..F16
    *vk = kVkF13 + (usage - 104);
    *scan = 0x64 + (usage - 104);
    return true;
  }
  if (usage >= 89 && usage <= 99) {
    int i = usage - 89;
    *scan = kKeypadScans[i];
    if (modifiers & kModNumLock) {
      *vk = i == 10 ? kVkDecimal : i == 9 ? kVkNumpad0 : kVkNumpad0 + 1 + i;
    } else {
      *vk = kKeypadNavigation[i];
    }
    return true;
  }
  for (const KeyRow& row : kKeys) {
    if (row.usage == usage) {
      *vk = row.virtualKey;
      *scan = row.scanCode;
      return true;
    }
  }
  return false;
}

}  // namespace tzx::platform
