// Keys: the SDL back end's usage table, the US layout's characters, and the
// two passes that turn a key message into host key codes.
#include <gtest/gtest.h>

#include "display/src/key_translation.h"
#include "platform/window/sdl/sdl_keymap.h"
#include "platform/window_backend.h"

namespace {

using namespace tzx::display;
using namespace tzx::platform;

TEST(DisplayKeys, RawPassNamesModifiersAndEnterByScanCode) {
  EXPECT_EQ(RawKeyCode(kVkShift, 0x2A), kKeyLeftShift);
  EXPECT_EQ(RawKeyCode(kVkShift, 0x36), kKeyRightShift);
  EXPECT_EQ(RawKeyCode(kVkControl, 0x1D), kKeyLeftControl);
  EXPECT_EQ(RawKeyCode(kVkControl, 0x11D), kKeyRightControl);
  EXPECT_EQ(RawKeyCode(kVkMenu, 0x38), kKeyLeftAlt);
  EXPECT_EQ(RawKeyCode(kVkMenu, 0x138), kKeyRightAlt);
  EXPECT_EQ(RawKeyCode(kVkReturn, 0x11C), kKeyKeypadEnter);
  EXPECT_EQ(RawKeyCode(kVkReturn, 0x1C), kKeyEnter);
  // A modifier without a known scan code has no code.
  EXPECT_EQ(RawKeyCode(kVkShift, 0), -1);
}

TEST(DisplayKeys, RawPassUsesTheTableThenDigitsAndLetters) {
  EXPECT_EQ(RawKeyCode(0x65, 0x4C), 0x128) << "keypad 5";
  EXPECT_EQ(RawKeyCode(kVkUp, 0x148), kKeyUp);
  EXPECT_EQ(RawKeyCode(0x7A, 0x57), 0x116) << "F11";
  EXPECT_EQ(RawKeyCode(0x7F, 0x67), 0x122) << "F16";
  EXPECT_EQ(RawKeyCode(kVkDivide, 0x135), 0x131);
  EXPECT_EQ(RawKeyCode('Q', 0x10), 'Q');
  EXPECT_EQ(RawKeyCode('7', 0x08), '7');
  EXPECT_EQ(RawKeyCode(kVkOem1, 0x27), -1) << "punctuation has no raw code";
}

TEST(DisplayKeys, CharacterPassStopsAtTheKeypad) {
  EXPECT_EQ(CharacterKeyCode(0x65, '5'), '5') << "keypad 5 types 5";
  EXPECT_EQ(CharacterKeyCode(kVkMultiply, '*'), '*');
  EXPECT_EQ(CharacterKeyCode(kVkSpace, ' '), kKeySpace);
  EXPECT_EQ(CharacterKeyCode(kVkEscape, 0x1B), kKeyEscape);
  EXPECT_EQ(CharacterKeyCode(kVkPause, 0), 0x11E);
  EXPECT_EQ(CharacterKeyCode(kVkReturn, '\r'), kKeyEnter) << "both Enters";
  EXPECT_EQ(CharacterKeyCode('A', 'a'), 'a');
  EXPECT_EQ(CharacterKeyCode(kVkOem1, ';'), ';');
  EXPECT_EQ(CharacterKeyCode(kVkShift, 0), -1);
}

TEST(DisplayKeys, UsKeyboardCharacters) {
  EXPECT_EQ(UsKeyboardCharacter('A', 0), uint32_t('a'));
  EXPECT_EQ(UsKeyboardCharacter('A', kModShift), uint32_t('A'));
  EXPECT_EQ(UsKeyboardCharacter('A', kModCapsLock), uint32_t('A'));
  EXPECT_EQ(UsKeyboardCharacter('A', kModCapsLock | kModShift), uint32_t('a'));
  EXPECT_EQ(UsKeyboardCharacter('5', kModShift), uint32_t('%'));
  EXPECT_EQ(UsKeyboardCharacter('0', kModShift), uint32_t(')'));
  EXPECT_EQ(UsKeyboardCharacter(0x65, kModNumLock), uint32_t('5'));
  EXPECT_EQ(UsKeyboardCharacter(kVkOem2, kModShift), uint32_t('?'));
  EXPECT_EQ(UsKeyboardCharacter('C', kModControl), 0u);
  EXPECT_EQ(UsKeyboardCharacter(kVkF1, 0), 0u);
}

TEST(DisplayKeys, SdlUsagesBecomeVirtualKeysAndScanCodes) {
  uint32_t vk = 0, scan = 0;
  ASSERT_TRUE(KeyFromUsage(93, kModNumLock, &vk, &scan));  // keypad 5
  EXPECT_EQ(vk, 0x65u);
  EXPECT_EQ(scan, 0x4Cu);
  ASSERT_TRUE(KeyFromUsage(93, 0, &vk, &scan));
  EXPECT_EQ(vk, 0x0Cu) << "keypad 5 without Num Lock";
  ASSERT_TRUE(KeyFromUsage(89, 0, &vk, &scan));
  EXPECT_EQ(vk, uint32_t(kVkEnd)) << "keypad 1 without Num Lock";
  ASSERT_TRUE(KeyFromUsage(98, kModNumLock, &vk, &scan));
  EXPECT_EQ(vk, uint32_t(kVkNumpad0));
  ASSERT_TRUE(KeyFromUsage(88, 0, &vk, &scan));
  EXPECT_EQ(vk, uint32_t(kVkReturn));
  EXPECT_EQ(scan, uint32_t(kScanKeypadReturn));
  ASSERT_TRUE(KeyFromUsage(228, 0, &vk, &scan));
  EXPECT_EQ(scan, uint32_t(kScanRightControl));
  ASSERT_TRUE(KeyFromUsage(4, 0, &vk, &scan));
  EXPECT_EQ(vk, uint32_t('A'));
  EXPECT_EQ(scan, 0x1Eu);
  ASSERT_TRUE(KeyFromUsage(39, 0, &vk, &scan));
  EXPECT_EQ(vk, uint32_t('0'));
  EXPECT_EQ(scan, 0x0Bu);
  ASSERT_TRUE(KeyFromUsage(68, 0, &vk, &scan));
  EXPECT_EQ(vk, 0x7Au) << "F11";
  // The raw pass gives SDL's keys the codes the tables promise.
  ASSERT_TRUE(KeyFromUsage(230, 0, &vk, &scan));
  EXPECT_EQ(RawKeyCode(vk, scan), kKeyRightAlt);
  EXPECT_FALSE(KeyFromUsage(200, 0, &vk, &scan));
}

}  // namespace
