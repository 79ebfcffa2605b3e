// "event": the host's event queue. Displays raise their window and input
// events here (slot 3, from the window thread); dos's workers post program
// and directory messages. Scripts install handler functions per event name
// and have the queued events delivered to them:
//
//   InstallEventHandler(table)  name = function installs, name = false removes
//   CheckEvents()               delivers every queued event; returns how many
//                               reached a handler (the others are dropped)
//   WaitEvent()                 waits until an event reached a handler
//   IsKeyDown(key)              key name ("ESC", "LSHIFT" ...), character or code
//   OnKeyWait(function or nil)  a headless run has no keyboard: when a line
//                               input finds no key queued, it calls the
//                               function once (and forgets it) instead of
//                               failing, so that tests look at the display
//                               mid-input and inject further keys
//
// A handler gets one table: "action" (the event's name), "id" (the display or
// directory), and the event's own fields. Closing a window that no
// "WindowClosing" handler takes ends the script as if it had returned.
#include <atomic>
#include <bitset>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "../arg_checks.h"
#include "../host_state.h"
#include "../lua_api.h"
#include "../messages.h"
#include "../services.h"
#include "event_keys.h"
#include "sibling.h"
#include "tzx/dos.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

enum EventName : int {
  kMouseDown,
  kMouseUp,
  kRightMouseDown,
  kRightMouseUp,
  kMiddleMouseDown,
  kMiddleMouseUp,
  kKeyDown,
  kKeyUp,
  kRawKeyDown,
  kRawKeyUp,
  kCharacter,
  kWheelUp,
  kWheelDown,
  kWindowMoved,
  kWindowResized,
  kWindowActivated,
  kWindowDeactivated,
  kWindowClosing,
  kWindowMinimized,
  kWindowRestored,
  kMenuCommand,
  kFilesDropped,
  kClipboardChanged,
  kTrayIconClicked,
  kRunFinished,
  kRunOutput,
  kDirectoryChanged,
  kEventNames,
};

constexpr const char* kNames[kEventNames] = {
    "MouseDown",         "MouseUp",       "RightMouseDown",   "RightMouseUp",
    "MiddleMouseDown",   "MiddleMouseUp", "KeyDown",          "KeyUp",
    "RawKeyDown",        "RawKeyUp",      "Character",        "WheelUp",
    "WheelDown",         "WindowMoved",   "WindowResized",    "WindowActivated",
    "WindowDeactivated", "WindowClosing", "WindowMinimized",  "WindowRestored",
    "MenuCommand",       "FilesDropped",  "ClipboardChanged", "TrayIconClicked",
    "RunFinished",       "RunOutput",     "DirectoryChanged",
};

struct Event {
  int name;  // EventName, or -1 for a display event code this sibling ignores
  ObjectId id;
  intptr_t a, b, c, d;
  char* files;                  // FilesDropped: d names, host memory
  WorkerEventMessage* message;  // worker events, host memory
  int messageNumber;
};

constexpr int kKeyStates = 512;

struct Queue {
  std::mutex mutex;
  std::deque<Event> events;
  std::bitset<kKeyStates> rawKeys, charKeys;
};
Queue gQueue;

int gHandlers[kEventNames];
std::atomic<bool> gWakePosted{false};
int gKeyWaitHook = LUA_NOREF;
const dos::DosInterface* gDos = nullptr;

int NameOfDisplayEvent(int code, intptr_t a, intptr_t c) {
  bool down = c != 0;
  switch (code) {
    case kEventLeftButton:
      return down ? kMouseDown : kMouseUp;
    case kEventRightButton:
      return down ? kRightMouseDown : kRightMouseUp;
    case kEventMiddleButton:
      return down ? kMiddleMouseDown : kMiddleMouseUp;
    case kEventKey:
      return a ? kKeyDown : kKeyUp;
    case kEventRawKey:
      return a ? kRawKeyDown : kRawKeyUp;
    case kEventCharacter:
      return kCharacter;
    case kEventWheelUp:
      return kWheelUp;
    case kEventWheelDown:
      return kWheelDown;
    case kEventMoved:
      return kWindowMoved;
    case kEventResized:
      return kWindowResized;
    case kEventActivated:
      return kWindowActivated;
    case kEventDeactivated:
      return kWindowDeactivated;
    case kEventClose:
      return kWindowClosing;
    case kEventMinimized:
      return kWindowMinimized;
    case kEventRestored:
      return kWindowRestored;
    case kEventMenu:
      return kMenuCommand;
    case kEventDropFiles:
      return kFilesDropped;
    case kEventClipboard:
      return kClipboardChanged;
    case kEventTrayIcon:
      return kTrayIconClicked;
    default:
      return -1;
  }
}

void TrackKeys(int code, intptr_t a, intptr_t c) {
  if (code == kEventDeactivated) {
    gQueue.rawKeys.reset();
    gQueue.charKeys.reset();
  } else if ((code == kEventRawKey || code == kEventKey) && c >= 0 && c < kKeyStates) {
    (code == kEventRawKey ? gQueue.rawKeys : gQueue.charKeys).set(size_t(c), a != 0);
  }
}

void FreeEvent(lua_State* L, Event& e) {
  kMemory.free(e.files);
  if (e.message) {
    if (e.message->userData >= 0) luaL_unref(L, LUA_REGISTRYINDEX, e.message->userData);
    if (e.messageNumber == kMsgProgramFinished && e.message->run && gDos) {
      gDos->freeProgramRun(L, static_cast<dos::ProgramRun*>(e.message->run));
    }
    kMemory.free(e.message);
  }
  e.files = nullptr;
  e.message = nullptr;
}

// Slot 3, on the window thread: queue, then wake the script thread.
void Raise(const void* display, int32_t code, intptr_t a, intptr_t b, intptr_t c, intptr_t d) {
  Event e{NameOfDisplayEvent(code, a, c),
          static_cast<const ObjectHeader*>(display)->id,
          a,
          b,
          c,
          d,
          nullptr,
          nullptr,
          0};
  if (code == kEventDropFiles) e.files = reinterpret_cast<char*>(c);
  {
    std::lock_guard<std::mutex> lock(gQueue.mutex);
    TrackKeys(code, a, c);
    try {
      if (e.name >= 0) gQueue.events.push_back(e);
    } catch (const std::bad_alloc&) {
      e.name = -1;
    }
  }
  if (e.name < 0) kMemory.free(e.files);
  // One wake-up waiting in the host's queue is enough.
  if (!gWakePosted.exchange(true)) kThreads.postMessage(kMsgWindowEvent, nullptr, 0, 0, 0, 0);
}

// A worker's message becomes an event; the queue owns the record from here.
void TakeWorkerMessage(lua_State* L, const PostedMessage& m) {
  auto* record = static_cast<WorkerEventMessage*>(m.data);
  if (!record) return;
  // The event holds its own reference to the user data: the poster may let
  // go of its own (a monitor closed, a run freed) before the event is
  // delivered.
  if (record->userData >= 0) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, record->userData);
    record->userData = luaL_ref(L, LUA_REGISTRYINDEX);
  }
  int name = m.message == kMsgProgramFinished ? kRunFinished
             : m.message == kMsgProgramOutput ? kRunOutput
                                              : kDirectoryChanged;
  Event e{name, record->object, 0, 0, 0, 0, nullptr, record, m.message};
  std::lock_guard<std::mutex> lock(gQueue.mutex);
  try {
    gQueue.events.push_back(e);
  } catch (const std::bad_alloc&) {
    FreeEvent(L, e);
  }
}

// Stops the script the way returning from it would.
int Quit() {
  State().quitRequested = true;
  State().abortFlag = 1;
  return kErrAborted;
}

// Between script steps: a window closed without a handler to take it ends
// the script.
void CheckForQuit(lua_State*, const PostedMessage&) {
  gWakePosted = false;
  if (gHandlers[kWindowClosing] != LUA_NOREF) return;
  std::lock_guard<std::mutex> lock(gQueue.mutex);
  for (const Event& e : gQueue.events) {
    if (e.name == kWindowClosing) {
      Quit();
      return;
    }
  }
}

void SetField(lua_State* L, const char* key, double value) {
  lua_pushnumber(L, value);
  lua_setfield(L, -2, key);
}

void SetKeyFields(lua_State* L, int code) {
  SetField(L, "code", code);
  if (const char* name = KeyName(code)) {
    lua_pushstring(L, name);
  } else {
    char utf8[8];
    kUtf8.encode(utf8, uint32_t(code));
    lua_pushstring(L, utf8);
  }
  lua_setfield(L, -2, "key");
}

void PushUserData(lua_State* L, int ref) {
  if (ref == LUA_NOREF || ref == LUA_REFNIL) return;
  lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
  lua_setfield(L, -2, "userdata");
}

void PushEventTable(lua_State* L, const Event& e) {
  lua_newtable(L);
  lua_pushstring(L, kNames[e.name]);
  lua_setfield(L, -2, "action");
  kArguments.setObjectIdField(L, "id", e.id);
  switch (e.name) {
    case kMouseDown:
    case kMouseUp:
    case kRightMouseDown:
    case kRightMouseUp:
    case kMiddleMouseDown:
    case kMiddleMouseUp:
    case kWheelUp:
    case kWheelDown:
      SetField(L, "x", double(e.a));
      SetField(L, "y", double(e.b));
      break;
    case kKeyDown:
    case kKeyUp:
    case kRawKeyDown:
    case kRawKeyUp:
    case kCharacter:
      SetKeyFields(L, int(e.c));
      break;
    case kFilesDropped: {
      SetField(L, "x", double(e.a));
      SetField(L, "y", double(e.b));
      lua_newtable(L);
      const char* name = e.files;
      for (int i = 0; i < int(e.d); ++i) {
        lua_pushstring(L, name);
        lua_rawseti(L, -2, i);
        name += std::strlen(name) + 1;
      }
      lua_setfield(L, -2, "files");
      break;
    }
    case kRunFinished:
      lua_pushlstring(L, e.message->text, e.message->length);
      lua_setfield(L, -2, "program");
      SetField(L, "exitcode", e.message->value);
      PushUserData(L, e.message->userData);
      break;
    case kRunOutput:
      lua_pushlstring(L, e.message->text, e.message->length);
      lua_setfield(L, -2, "output");
      PushUserData(L, e.message->userData);
      break;
    case kDirectoryChanged:
      if (e.messageNumber == kMsgDirectoryReport) {
        static const char* const kActions[] = {"added", "removed", "modified"};
        lua_pushlstring(L, e.message->text, e.message->length);
        lua_setfield(L, -2, "name");
        int action = e.message->value;
        lua_pushstring(L, action >= 0 && action < 3 ? kActions[action] : "modified");
        lua_setfield(L, -2, "change");
      }
      PushUserData(L, e.message->userData);
      break;
    default:
      break;
  }
}

// Delivers the queued events in order, counting those that reached a
// handler; returns 0 or the first error (a handler's, or the stop of a window
// closed without a handler).
int Deliver(lua_State* L, int* delivered) {
  *delivered = 0;
  for (;;) {
    Event e;
    {
      std::lock_guard<std::mutex> lock(gQueue.mutex);
      if (gQueue.events.empty()) return 0;
      e = gQueue.events.front();
      gQueue.events.pop_front();
    }
    int handler = gHandlers[e.name];
    if (handler == LUA_NOREF) {
      FreeEvent(L, e);
      if (e.name == kWindowClosing) return Quit();
      continue;
    }
    ++*delivered;
    lua_rawgeti(L, LUA_REGISTRYINDEX, handler);
    PushEventTable(L, e);
    FreeEvent(L, e);
    if (int rc = kLuaApi.callScript(L, 1, 0)) return rc;
  }
}

// InstallEventHandler(table)
int InstallEventHandler(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  CheckType(L, 1, LUA_TTABLE);
  // Checked first, so that a wrong entry installs nothing.
  lua_pushnil(L);
  while (lua_next(L, 1)) {
    const char* key = lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : "";
    int name = 0;
    while (name < kEventNames && std::strcmp(kNames[name], key) != 0) ++name;
    int type = lua_type(L, -1);
    bool ok = type == LUA_TFUNCTION || (type == LUA_TBOOLEAN && !lua_toboolean(L, -1));
    if (name == kEventNames || !ok) {
      lua_pushvalue(L, -2);
      kErrorReporting.setErrorString(lua_tostring(L, -1));
      lua_pop(L, 3);
      return name == kEventNames ? kErrUnknownTag : kErrNotFunction;
    }
    lua_pop(L, 1);
  }
  for (int name = 0; name < kEventNames; ++name) {
    lua_getfield(L, 1, kNames[name]);
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);
      continue;
    }
    luaL_unref(L, LUA_REGISTRYINDEX, gHandlers[name]);
    if (lua_type(L, -1) == LUA_TFUNCTION) {
      gHandlers[name] = luaL_ref(L, LUA_REGISTRYINDEX);
    } else {
      gHandlers[name] = LUA_NOREF;
      lua_pop(L, 1);
    }
  }
  return 0;
}

// CheckEvents()
int CheckEvents(lua_State* L) {
  kArguments.beginCommand(L, 0, 0, 0, 0);
  DispatchMessages(L);
  int delivered;
  if (int rc = Deliver(L, &delivered)) return rc;
  lua_pushnumber(L, delivered);
  return 1;
}

// WaitEvent()
int WaitEvent(lua_State* L) {
  kArguments.beginCommand(L, 0, 0, 0, 0);
  for (;;) {
    int delivered;
    if (int rc = Deliver(L, &delivered)) return rc;
    if (delivered) {
      lua_pushnumber(L, delivered);
      return 1;
    }
    // The host's wait returns when a message arrives; displays post one with
    // every event, workers with theirs. With no open window and no worker
    // nothing ever would.
    if (!EventSourcesOpen()) return kErrNoEventSource;
    if (int rc = kThreads.wait(L, 1)) return rc;
  }
}

// OnKeyWait(function or nil)
int OnKeyWait(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  if (!lua_isnil(L, 1)) CheckType(L, 1, LUA_TFUNCTION);
  luaL_unref(L, LUA_REGISTRYINDEX, gKeyWaitHook);
  gKeyWaitHook = LUA_NOREF;
  if (!lua_isnil(L, 1)) {
    lua_pushvalue(L, 1);
    gKeyWaitHook = luaL_ref(L, LUA_REGISTRYINDEX);
  }
  return 0;
}

// IsKeyDown(key)
int IsKeyDown(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  int code;
  if (lua_type(L, 1) == LUA_TNUMBER) {
    code = int(lua_tonumber(L, 1));
  } else {
    const char* key = CheckString(L, 1, nullptr);
    uint32_t c = 0;
    int bytes = kUtf8.decode(key, &c);
    code = bytes > 0 && key[bytes] == 0 ? int(c) : KeyCode(key);
    if (code < 0) {
      kErrorReporting.setErrorString(key);
      return kErrUnknownTag;
    }
  }
  bool down = false;
  if (code >= 0 && code < kKeyStates) {
    std::lock_guard<std::mutex> lock(gQueue.mutex);
    // A letter is down whichever case is asked: the raw pass names the key
    // by its upper-case letter.
    int upper = code >= 'a' && code <= 'z' ? code - 32 : code;
    down = gQueue.charKeys[size_t(code)] || gQueue.rawKeys[size_t(code)] ||
           gQueue.rawKeys[size_t(upper)];
  }
  lua_pushboolean(L, down);
  return 1;
}

// Slot 4.
int TakeKeyEvent(const ObjectId* display, int32_t* code, intptr_t* a, intptr_t* c) {
  std::lock_guard<std::mutex> lock(gQueue.mutex);
  for (auto it = gQueue.events.begin(); it != gQueue.events.end(); ++it) {
    const bool key = it->name == kCharacter || it->name == kRawKeyDown || it->name == kRawKeyUp;
    if (!key || !(it->id == *display)) continue;
    *code = it->name == kCharacter ? kEventCharacter : kEventRawKey;
    *a = it->a;
    *c = it->c;
    gQueue.events.erase(it);
    return 1;
  }
  return 0;
}

// Slot 5. Without a window system keys come only from messages a test
// injects before the input starts.
int WaitKeyEvent(lua_State* L) {
  if (gKeyWaitHook != LUA_NOREF) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, gKeyWaitHook);
    luaL_unref(L, LUA_REGISTRYINDEX, gKeyWaitHook);
    gKeyWaitHook = LUA_NOREF;
    return kLuaApi.callScript(L, 0, 0);
  }
  if (State().headless || !EventSourcesOpen()) return kErrNoEventSource;
  return kThreads.wait(L, 1);
}

// Slot 6.
void ForgetKeys(const void*) {
  std::lock_guard<std::mutex> lock(gQueue.mutex);
  gQueue.rawKeys.reset();
  gQueue.charKeys.reset();
}

const EventSibling kInterface = {
    {nullptr, nullptr, nullptr}, Raise, TakeKeyEvent, WaitKeyEvent, ForgetKeys};
const void* Interface() {
  return &kInterface;
}

void Bind(const char* library, const void* interface) {
  if (std::strcmp(library, "dos") == 0) gDos = static_cast<const dos::DosInterface*>(interface);
}

void Start(lua_State*) {
  for (int& h : gHandlers) h = LUA_NOREF;
  gKeyWaitHook = LUA_NOREF;
  SetMessageHandler(kMsgWindowEvent, CheckForQuit);
  SetMessageHandler(kMsgProgramFinished, TakeWorkerMessage);
  SetMessageHandler(kMsgProgramOutput, TakeWorkerMessage);
  SetMessageHandler(kMsgDirectoryChanged, TakeWorkerMessage);
  SetMessageHandler(kMsgDirectoryReport, TakeWorkerMessage);
}

// The interpreter closes next: the handlers go with it; queued records are
// freed here so that nothing outlives the host.
void Reset(lua_State* L) {
  // Messages still waiting in the host's queue carry records too.
  DispatchMessages(L);
  std::deque<Event> left;
  {
    std::lock_guard<std::mutex> lock(gQueue.mutex);
    left.swap(gQueue.events);
    gQueue.rawKeys.reset();
    gQueue.charKeys.reset();
  }
  // dos has closed already and freed its runs itself.
  gDos = nullptr;
  for (Event& e : left) FreeEvent(L, e);
  for (int& h : gHandlers) h = LUA_NOREF;
  gKeyWaitHook = LUA_NOREF;
  gWakePosted = false;
}

const CommandRow kCommands[] = {
    {"InstallEventHandler", InstallEventHandler},
    {"CheckEvents", CheckEvents},
    {"WaitEvent", WaitEvent},
    {"IsKeyDown", IsKeyDown},
    {"OnKeyWait", OnKeyWait},
    {nullptr, nullptr},
};

}  // namespace

const HostSibling kEventSibling = {"event", Interface, kCommands, Reset, Bind, Start};

}  // namespace tzx::host
