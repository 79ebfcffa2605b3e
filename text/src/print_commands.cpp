// Commands of the print cursor: Print, NPrint, Locate, SetMargins, AddTab
// and ResetTabs.
#include <climits>
#include <cstring>

#include "commands.h"
#include "print.h"
#include "print_glue.h"
#include "tzx/errors.h"

namespace tzx::text {

namespace {

// Every value through the script's "tostring", joined with single blanks,
// and a line break for NPrint; the text is left on the stack top. The
// conversions stay on the stack until they are joined, so that none is
// collected meanwhile.
int JoinValues(lua_State* L, int count, bool lineBreak) {
  size_t total = lineBreak ? 1 : 0;
  for (int i = 1; i <= count; ++i) {
    Lua().pushstring(L, "tostring");
    Lua().gettable(L, kGlobalsIndex);
    Lua().pushvalue(L, i);
    if (int rc = Lua().callScript(L, 1, 1)) return rc;
    if (!Lua().isstring(L, -1)) return kErrNotString;
    total += Lua().strlen(L, -1) + (i > 1 ? 1 : 0);
  }
  auto* joined = static_cast<char*>(Lua().newuserdata(L, total + 1));
  size_t at = 0;
  for (int i = 1; i <= count; ++i) {
    size_t length = 0;
    const char* s = Lua().tolstring(L, count + i, &length);
    if (i > 1) joined[at++] = ' ';
    std::memcpy(joined + at, s, length);
    at += length;
  }
  if (lineBreak) joined[at++] = '\n';
  Lua().pushlstring(L, joined, at);
  return 0;
}

int PrintValues(lua_State* L, bool lineBreak) {
  L = Args().beginCommand(L, 0, INT_MAX, 0, 0);
  const int count = Lua().gettop(L);
  if (int rc = JoinValues(L, count, lineBreak)) return rc;
  const int textIndex = Lua().gettop(L);
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  LayoutRequest r;
  if ((rc = StartRequest(&r, output, false))) return rc;
  if ((rc = TextArg(L, textIndex, r.encoding, &r.text, &r.length))) return rc;
  if (r.formatTags) r.constants = CollectTagConstants(L, r.text, r.length);
  return PrintAtCursor(L, output, &r);
}

}  // namespace

int Print(lua_State* L) {
  return PrintValues(L, false);
}

int NPrint(lua_State* L) {
  return PrintValues(L, true);
}

int Locate(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const int32_t x = Lua().checkinteger(L, 1);
  const int32_t y = Lua().checkinteger(L, 2);
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  if (IsPositionCodeX(x) || IsPositionCodeY(y)) return kErrPositionConstant;
  PrepareCursor(output);
  LocateCursor(&output->cursor, x, y);
  return 0;
}

int SetMargins(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  const int32_t left = Lua().checkinteger(L, 1);
  const int32_t right = Lua().checkinteger(L, 2);
  const bool noclip = Lua().gettop(L) >= 3 && Lua().toboolean(L, 3);
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  PrepareCursor(output);
  return SetCursorMargins(&output->cursor, left, right, noclip, output->width);
}

int AddTab(lua_State* L) {
  L = Args().beginCommand(L, 1, INT_MAX, 0, 0);
  const int count = Lua().gettop(L);
  if (count > kMaxTabs) return kErrTooMany;
  int32_t stops[kMaxTabs];
  for (int i = 0; i < count; ++i) stops[i] = Lua().checkinteger(L, i + 1);
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  PrepareCursor(output);
  return AddTabStops(&output->cursor, stops, count);
}

int ResetTabs(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  output->cursor.tabCount = 0;
  return 0;
}

}  // namespace tzx::text
