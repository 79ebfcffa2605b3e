// Script commands as interpreter globals, and the errors they return.
#pragma once

#include "tzx/types.h"

namespace tzx::host {

// Makes every command of the table a global under its name and in lower case.
void RegisterCommandTable(lua_State* L, const CommandRow* table);
// Records which library a command table belongs to.
void NameCommands(const CommandRow* table, const char* library);
// The number of commands registered under a library's name.
int CommandCountOf(const char* library);
void ForgetCommandTables();

}  // namespace tzx::host
