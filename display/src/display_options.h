// The option tables of CreateDisplay and SetDisplayAttributes, and the names
// of display modes and fill styles.
#pragma once

#include "display_record.h"

namespace tzx::display {

// -1 for a name the tables do not know.
int ModeFromName(const char* name);
int FillStyleFromName(const char* name);

// Reads the option table at `table` into `d`, keeping the values of absent
// keys. `create` adds the keys only CreateDisplay reads. Returns 0 or an
// error code (1055 bad value, 1558 bad size or monitor, 1685 with the name of
// a sibling that an option needs), or raises the host's argument error for a
// value of the wrong type.
int ReadDisplayOptions(lua_State* L, int table, DisplayRecord* d, bool create);

// The defaults of a new display: 640 × 480, centred, titled "Tessera",
// windowed, black background.
void SetDisplayDefaults(DisplayRecord* d);

}  // namespace tzx::display
