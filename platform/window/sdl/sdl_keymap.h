// Keys of the SDL back end: USB HID usage numbers (SDL's scancodes) to the
// virtual keys and scan codes of window messages.
#pragma once

#include <cstdint>

namespace tzx::platform {

// False for keys without a virtual key. With Num Lock off the keypad digits
// and point give the navigation keys they are labelled with.
bool KeyFromUsage(int usage, uint32_t modifiers, uint32_t* virtualKey, uint32_t* scanCode);

}  // namespace tzx::platform
