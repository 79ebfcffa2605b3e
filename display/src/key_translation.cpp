#include "key_translation.h"

#include "platform/window_backend.h"

namespace tzx::display {

namespace {

using namespace tzx::platform;

struct KeyRow {
  int virtualKey;
  int code;
};

// Searched in order up to the row with -1. The character pass stops at the
// first keypad row.
constexpr KeyRow kVirtualKeys[] = {
    {kVkBack, 0x10F},  {kVkTab, 0x110},      {kVkReturn, 0x112},  {kVkEscape, 0x113},
    {kVkSpace, 0x114}, {kVkDelete, 0x115},   {kVkUp, 0x100},      {kVkDown, 0x101},
    {kVkRight, 0x102}, {kVkLeft, 0x103},     {0x70, 0x105},       {0x71, 0x106},
    {0x72, 0x107},     {0x73, 0x108},        {0x74, 0x109},       {0x75, 0x10A},
    {0x76, 0x10B},     {0x77, 0x10C},        {0x78, 0x10D},       {0x79, 0x10E},
    {0x7A, 0x116},     {0x7B, 0x117},        {0x7C, 0x11F},       {0x7D, 0x120},
    {0x7E, 0x121},     {0x7F, 0x122},        {kVkInsert, 0x118},  {kVkHome, 0x119},
    {kVkEnd, 0x11A},   {kVkPrior, 0x11B},    {kVkNext, 0x11C},    {kVkSnapshot, 0x11D},
    {kVkPause, 0x11E}, {0x60, 0x123},        {0x61, 0x124},       {0x62, 0x125},
    {0x63, 0x126},     {0x64, 0x127},        {0x65, 0x128},       {0x66, 0x129},
    {0x67, 0x12A},     {0x68, 0x12B},        {0x69, 0x12C},       {kVkMultiply, 0x12D},
    {kVkAdd, 0x12E},   {kVkSubtract, 0x12F}, {kVkDecimal, 0x130}, {kVkDivide, 0x131},
    {-1, -1},
};

// Modifiers and Enter are told apart by scan code.
constexpr KeyRow kScanCodes[] = {
    {kScanLeftShift, kKeyLeftShift},      {kScanRightShift, kKeyRightShift},
    {kScanLeftAlt, kKeyLeftAlt},          {kScanRightAlt, kKeyRightAlt},
    {kScanLeftControl, kKeyLeftControl},  {kScanRightControl, kKeyRightControl},
    {kScanKeypadReturn, kKeyKeypadEnter},
};

int FromTable(uint32_t vk, bool stopAtKeypad) {
  for (const KeyRow* row = kVirtualKeys; row->virtualKey != -1; ++row) {
    if (stopAtKeypad && row->virtualKey == kVkNumpad0) break;
    if (uint32_t(row->virtualKey) == vk) return row->code;
  }
  return -1;
}

}  // namespace

int RawKeyCode(uint32_t vk, uint32_t scanCode) {
  if (vk == kVkShift || vk == kVkControl || vk == kVkMenu || vk == kVkReturn) {
    for (const KeyRow& row : kScanCodes) {
      if (uint32_t(row.virtualKey) == scanCode) return row.code;
    }
  }
  int code = FromTable(vk, false);
  if (code >= 0) return code;
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return int(vk);
  return -1;
}

int CharacterKeyCode(uint32_t vk, uint32_t character) {
  int code = FromTable(vk, true);
  if (code >= 0) return code;
  return character ? int(character) : -1;
}

}  // namespace tzx::display
