// Names of the host key codes that keys without a character have, as the
// event sibling hands them to scripts and reads them back.
#pragma once

#include <cstdint>

namespace tzx::host {

// The name of a key code, or null for a code that is a character.
const char* KeyName(int code);
// The code of a key name (case-insensitive), or -1.
int KeyCode(const char* name);

}  // namespace tzx::host
