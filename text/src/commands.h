// The script commands of text.tzx, by file.
#pragma once

struct lua_State;

namespace tzx::text {

// font_commands.cpp
int SetFont(lua_State* L);
int OpenFont(lua_State* L);
int CloseFont(lua_State* L);
int UseFont(lua_State* L);
int CreateFont(lua_State* L);
int GetAvailableFonts(lua_State* L);
int AddFontPathCommand(lua_State* L);  // AddFontPath
int GetCharMaps(lua_State* L);
int GetKerningPair(lua_State* L);
int FreeGlyphCacheCommand(lua_State* L);  // FreeGlyphCache

// style_commands.cpp
int SetFontColor(lua_State* L);
int GetFontColor(lua_State* L);
int SetBulletColor(lua_State* L);
int GetBulletColor(lua_State* L);
int SetFontStyle(lua_State* L);
int GetFontStyle(lua_State* L);
int UseFormatTags(lua_State* L);

// print_commands.cpp
int Print(lua_State* L);
int NPrint(lua_State* L);
int Locate(lua_State* L);
int SetMargins(lua_State* L);
int AddTab(lua_State* L);
int ResetTabs(lua_State* L);

// layout_commands.cpp
int TextOut(lua_State* L);
int TextWidth(lua_State* L);
int TextHeight(lua_State* L);
int TextExtent(lua_State* L);

// text_object_commands.cpp
int CreateTextObject(lua_State* L);
int DisplayTextObject(lua_State* L);
int FreeTextObject(lua_State* L);
int CopyTextObject(lua_State* L);
int ScaleTextObject(lua_State* L);
int RotateTextObject(lua_State* L);
int TransformTextObject(lua_State* L);

// line_input_commands.cpp
int InKeyStr(lua_State* L);

}  // namespace tzx::text
