// InjectWindowMessage(display, table): hands a window message to an open
// display's window as if the window system had sent it, and returns once the
// window procedure has handled it. Registered only when the library runs
// without a window system (tessera --headless), for tests.
//
// Table keys: "message" (below), "vk", "scancode", "char" (a number, or a
// string whose first character is taken; by default what the key types on a
// US keyboard), "shift", "ctrl", "alt", "rightalt", "capslock", "numlock",
// "x", "y", "screenx", "screeny", "delta" (wheel, 120 a notch, positive away
// from the user), "active" (activate: default 1), "files" (dropfiles: an
// array of names from index 0).
#include <cstring>

#include "commands.h"
#include "display_list.h"
#include "platform/window_backend.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "window_requests.h"

namespace tzx::display {

namespace {

using namespace tzx::platform;

struct MessageName {
  const char* name;
  uint32_t message;
  uint32_t command;
};

constexpr MessageName kMessages[] = {
    {"keydown", kMsgKeyDown, 0},
    {"keyup", kMsgKeyUp, 0},
    {"syskeydown", kMsgSysKeyDown, 0},
    {"syskeyup", kMsgSysKeyUp, 0},
    {"char", kMsgChar, 0},
    {"lbuttondown", kMsgLButtonDown, 0},
    {"lbuttonup", kMsgLButtonUp, 0},
    {"rbuttondown", kMsgRButtonDown, 0},
    {"rbuttonup", kMsgRButtonUp, 0},
    {"mbuttondown", kMsgMButtonDown, 0},
    {"mbuttonup", kMsgMButtonUp, 0},
    {"mousemove", kMsgMouseMove, 0},
    {"mousewheel", kMsgMouseWheel, 0},
    {"close", kMsgClose, 0},
    {"activate", kMsgActivate, 0},
    {"minimize", kMsgSysCommand, kScMinimize},
    {"restore", kMsgQueryOpen, 0},
    {"move", kMsgMove, 0},
    {"size", kMsgSize, 0},
    {"dropfiles", kMsgDropFiles, 0},
    {"clipboard", kMsgDrawClipboard, 0},
    {"paint", kMsgPaint, 0},
};

constexpr int kMaxFiles = 256;

struct ModifierKey {
  const char* key;
  uint32_t modifier;
};

constexpr ModifierKey kModifierKeys[] = {
    {"shift", kModShift},       {"ctrl", kModControl},      {"alt", kModAlt},
    {"rightalt", kModRightAlt}, {"capslock", kModCapsLock}, {"numlock", kModNumLock},
};

int Inject(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  const ArgumentServices& a = Args();
  ObjectId id = a.objectId(L, 1);
  Lua().checktable(L, 2);
  char name[32] = "";
  a.fieldString(L, 2, "message", name, sizeof name);
  WindowMessage m;
  const MessageName* known = nullptr;
  for (const MessageName& n : kMessages) {
    if (std::strcmp(n.name, name) == 0) known = &n;
  }
  if (!known) return ErrorWithString(kErrRange, name);
  m.message = known->message;
  m.command = known->command;
  for (const ModifierKey& k : kModifierKeys) {
    int32_t on = 0;
    if (a.fieldBool(L, 2, k.key, &on) && on) m.modifiers |= k.modifier;
  }
  int32_t value = 0;
  if (a.fieldInt(L, 2, "vk", &value)) m.virtualKey = uint32_t(value);
  if (a.fieldInt(L, 2, "scancode", &value)) m.scanCode = uint32_t(value);
  m.character = UsKeyboardCharacter(m.virtualKey, m.modifiers);
  if (a.fieldByKey(L, 2, "char") == kLuaString) {
    uint32_t c = 0;
    Host().utf8->decode(Lua().tolstring(L, -1, nullptr), &c);
    m.character = c;
  } else if (Lua().type(L, -1) == kLuaNumber) {
    m.character = uint32_t(Lua().tonumber(L, -1));
  }
  Lua().settop(L, -2);
  a.fieldInt(L, 2, "x", &m.x);
  a.fieldInt(L, 2, "y", &m.y);
  a.fieldInt(L, 2, "screenx", &m.screenX);
  a.fieldInt(L, 2, "screeny", &m.screenY);
  a.fieldInt(L, 2, "delta", &m.wheelDelta);
  int32_t active = 1;
  a.fieldBool(L, 2, "active", &active);
  if (m.message == kMsgActivate) m.command = active ? 1 : 0;

  // The names are measured first, so that nothing is allocated while a
  // reader could still raise an error.
  size_t bytes = 0;
  int count = 0;
  if (a.fieldByKey(L, 2, "files") == kLuaTable) {
    for (; count < kMaxFiles; ++count) {
      int type = a.fieldByIndex(L, -1, count);
      if (type == kLuaString) bytes += Lua().strlen(L, -1) + 1;
      Lua().settop(L, -2);
      if (type == kLuaNil) break;
      if (type != kLuaString) {
        Lua().settop(L, -2);
        return kErrNotString;
      }
    }
  }
  DisplayRecord* d;
  int rc = FindDisplay(&id, &d);
  if (rc == 0 && (!d->window || !d->window->handle)) rc = kErrDisplayClosed;
  if (rc) {
    Lua().settop(L, -2);
    return rc;
  }
  m.window = d->window->handle;
  char* block = nullptr;
  if (count) {
    block = static_cast<char*>(HostAlloc(sizeof(char*) * count + bytes, false));
    if (!block) {
      Lua().settop(L, -2);
      return kErrNoMemory;
    }
    auto** names = reinterpret_cast<const char**>(block);
    char* p = block + sizeof(char*) * count;
    for (int i = 0; i < count; ++i) {
      a.fieldByIndex(L, -1, i);
      size_t n;
      const char* s = Lua().tolstring(L, -1, &n);
      std::memcpy(p, s, n + 1);
      names[i] = p;
      p += n + 1;
      Lua().settop(L, -2);
    }
    m.files = names;
    m.fileCount = count;
  }
  Lua().settop(L, -2);
  rc = InjectWindowMessage(m);
  HostFree(block);
  return rc;
}

}  // namespace

extern const CommandRow kHeadlessTestCommands[] = {
    {"InjectWindowMessage", Inject},
    {nullptr, nullptr},
};

}  // namespace tzx::display
