// The script commands of display.tzx, by file.
#pragma once

#include "tzx/types.h"

namespace tzx::display {

// display_commands.cpp
int CreateDisplay(lua_State* L);
int OpenDisplay(lua_State* L);
int CloseDisplay(lua_State* L);
int FreeDisplay(lua_State* L);
int SelectDisplay(lua_State* L);
int ActivateDisplay(lua_State* L);
int MoveDisplay(lua_State* L);
int HideDisplay(lua_State* L);
int ShowDisplay(lua_State* L);
int SetTitle(lua_State* L);
int SetSubtitle(lua_State* L);
int SetDisplayAttributes(lua_State* L);

// modes_commands.cpp
int GetMonitors(lua_State* L);
int GetDisplayModes(lua_State* L);
int ChangeDisplayMode(lua_State* L);
int ChangeDisplaySize(lua_State* L);

// refresh_commands.cpp
int BeginRefresh(lua_State* L);
int EndRefresh(lua_State* L);
int RefreshDisplay(lua_State* L);
int VWait(lua_State* L);
int EnableVWait(lua_State* L);
int DisableVWait(lua_State* L);
int SetFPSLimit(lua_State* L);
int GetFPSLimit(lua_State* L);
int BeginDoubleBuffer(lua_State* L);
int EndDoubleBuffer(lua_State* L);
int Flip(lua_State* L);
int Cls(lua_State* L);
int SaveSnapshot(lua_State* L);
int GrabDesktop(lua_State* L);

// attributes.cpp: the display's attribute callback for the object library.
int DisplayAttribute(lua_State* L, int attribute, const ObjectId* id);

// test_commands.cpp: headless test commands, registered only when the
// library runs without a window system.
extern const CommandRow kHeadlessTestCommands[];

}  // namespace tzx::display
