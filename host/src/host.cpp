#include "tessera/host.h"

#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "command_scope.h"
#include "commands.h"
#include "file_handle.h"
#include "host_state.h"
#include "messages.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/libraries.h"
#include "platform/memory.h"
#include "services.h"
#include "siblings/sibling.h"
#include "tzx/display.h"

namespace tessera {

using namespace tzx;
using namespace tzx::host;

namespace {

using EntryFn = void* (*)(HostServices*, const char**);
using GetConstantsFn = const ConstantRow* (*)();
using GetInterfaceFn = const void* (*)();
using SetInterfaceFn = void (*)(const char*, const void*);
using InitLibraryFn = int (*)(lua_State*);
using CloseLibraryFn = void (*)(lua_State*);

struct Plugin {
  LoadedLibrary info;
  void* handle = nullptr;
  SetInterfaceFn setInterface = nullptr;
  InitLibraryFn init = nullptr;
  CloseLibraryFn close = nullptr;
  const ConstantRow* constants = nullptr;
  bool initialised = false;
};

std::string ProgramFolder() {
  char folder[4096];
  return platform::ProgramDir(folder, sizeof folder) ? folder : ".";
}

std::string TrimVersion(const char* text) {
  std::string v = text;
  while (!v.empty() && v.back() == ' ') v.pop_back();
  return v;
}

void PushConstants(lua_State* L, const ConstantRow* rows) {
  for (const ConstantRow* row = rows; row && row->name; ++row) {
    if (row->string) {
      lua_pushstring(L, row->string);
    } else {
      lua_pushnumber(L, row->number);
    }
    lua_setglobal(L, row->name);
  }
}

}  // namespace

struct Host::Impl {
  HostOptions options;
  lua_State* L = nullptr;
  // The display library's event loop runs scripts when it is loaded.
  const display::DisplayInterface* display = nullptr;
  std::vector<Plugin> plugins;
  std::vector<LoadedLibrary> infos;
  std::vector<const HostSibling*> siblings;
  bool stopped = false;

  bool Load(const std::string& folder, const std::string& name, std::string* error);
};

bool Host::Impl::Load(const std::string& folder, const std::string& name, std::string* error) {
  std::string path = folder + "/" + name + ".tzx";
  Plugin p;
  std::string reason;
  p.handle = platform::LoadSharedLibrary(path.c_str(), &reason);
  if (!p.handle) {
    *error = "Cannot load library " + path + ": " + reason;
    return false;
  }
  auto entry = reinterpret_cast<EntryFn>(platform::SharedLibrarySymbol(p.handle, "tzx_Entry"));
  auto getConstants =
      reinterpret_cast<GetConstantsFn>(platform::SharedLibrarySymbol(p.handle, "tzx_GetConstants"));
  auto getInterface =
      reinterpret_cast<GetInterfaceFn>(platform::SharedLibrarySymbol(p.handle, "tzx_GetInterface"));
  p.setInterface =
      reinterpret_cast<SetInterfaceFn>(platform::SharedLibrarySymbol(p.handle, "tzx_SetInterface"));
  p.init =
      reinterpret_cast<InitLibraryFn>(platform::SharedLibrarySymbol(p.handle, "tzx_InitLibrary"));
  p.close =
      reinterpret_cast<CloseLibraryFn>(platform::SharedLibrarySymbol(p.handle, "tzx_CloseLibrary"));
  if (!entry || !getConstants || !getInterface || !p.setInterface || !p.init || !p.close) {
    platform::UnloadSharedLibrary(p.handle);
    *error = "Library " + path + " lacks an entry point";
    return false;
  }
  const char* descriptor = nullptr;
  entry(RootServices(), &descriptor);
  p.info.name = name;
  // The version text starts one byte after the descriptor's leading NUL.
  p.info.version = descriptor ? TrimVersion(descriptor + 1) : "";
  p.constants = getConstants();
  for (const ConstantRow* row = p.constants; row && row->name; ++row) ++p.info.constants;
  p.info.interface = getInterface();
  plugins.push_back(std::move(p));
  return true;
}

Host::Host(HostOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

Host::~Host() {
  Stop();
}

bool Host::Start(std::string* error) {
  Impl& d = *impl_;
  platform::KeepPictureSizedBlocks();
  State().liveBlocks = 0;
  State().headless = d.options.headless;
  State().linkedFiles = d.options.linkedFiles;
  State().quietTrace = !d.options.trace;
  State().abortFlag = 0;
  State().quitRequested = false;
  State().shuttingDown = false;
  State().unwrittenAtClose.clear();

  std::string folder = d.options.pluginDir;
  if (folder.empty()) {
    const char* env = platform::EnvironmentValue("TESSERA_PLUGIN_PATH");
    folder = env && *env ? env : ProgramFolder();
  }
  for (const std::string& name : d.options.siblings) {
    const HostSibling* s = FindHostSibling(name.c_str());
    if (!s) {
      *error = "Unknown host sibling " + name;
      return false;
    }
    d.siblings.push_back(s);
  }
  for (const std::string& name : d.options.libraries) {
    if (!d.Load(folder, name, error)) return false;
  }

  d.L = luaL_newstate();
  luaL_openlibs(d.L);
  InstallScopedProtectedCalls(d.L);

  // Every library is bound to every other library and to every host sibling.
  for (Plugin& p : d.plugins) {
    for (Plugin& other : d.plugins) {
      if (&other != &p) p.setInterface(other.info.name.c_str(), other.info.interface);
    }
    for (const HostSibling* s : d.siblings) p.setInterface(s->name, s->interface());
  }
  for (const HostSibling* s : d.siblings) {
    if (!s->bind) continue;
    for (const Plugin& p : d.plugins) s->bind(p.info.name.c_str(), p.info.interface);
  }
  for (const HostSibling* s : d.siblings) {
    if (s->start) s->start(d.L);
    if (s->commands) RegisterCommandTable(d.L, s->commands);
  }
  for (Plugin& p : d.plugins) {
    ClearErrorArguments();
    int rc = p.init(d.L);
    if (rc != 0) {
      *error = "Cannot start " + p.info.name + ".tzx: " + ErrorMessage(rc);
      return false;
    }
    p.initialised = true;
    if (p.info.name == "display") {
      d.display = static_cast<const display::DisplayInterface*>(p.info.interface);
    }
    PushConstants(d.L, p.constants);
    p.info.commands = CommandCountOf(p.info.name.c_str());
  }
  for (const Plugin& p : d.plugins) d.infos.push_back(p.info);
  return true;
}

namespace {

// Adds a traceback-free position to errors that are not strings.
int ErrorHandler(lua_State* L) {
  if (!lua_isstring(L, 1)) {
    lua_pushstring(L, "(error object is not a string)");
  }
  return 1;
}

bool RunChunk(lua_State* L, int loadStatus, int nargs, std::string* error) {
  if (loadStatus != 0) {
    *error = lua_tostring(L, -1);
    lua_pop(L, 1);
    return false;
  }
  lua_pushcfunction(L, ErrorHandler);
  lua_insert(L, -2 - nargs);
  int base = lua_gettop(L) - nargs - 1;
  int rc = ScopedPcall(L, nargs, 0, base);
  // Whatever the chunk left pinned is released with it.
  UnwindCommands(L, 0);
  if (rc != 0) {
    *error = lua_tostring(L, -1);
    lua_pop(L, 1);
  }
  lua_remove(L, base);
  return rc == 0;
}

// What the main chunk left behind when it ran on the event loop's script
// thread.
struct MainResult {
  bool ok = true;
  std::string error;
};
MainResult gMainResult;

// The main chunk as the event loop runs it: a function without arguments
// whose upvalues are the argument count, the chunk and its arguments. Errors
// stay here, with their message, instead of unwinding the loop.
int MainChunk(lua_State* L) {
  int nargs = static_cast<int>(lua_tonumber(L, lua_upvalueindex(1)));
  for (int i = 0; i <= nargs; ++i) lua_pushvalue(L, lua_upvalueindex(2 + i));
  gMainResult.ok = RunChunk(L, 0, nargs, &gMainResult.error);
  return 0;
}

// A script stopped because a window was closed without a handler ended as
// if it had returned.
bool Finished(bool ok) {
  return ok || State().quitRequested;
}

bool RunMain(const display::DisplayInterface* display, lua_State* L, int loadStatus, int nargs,
             std::string* error) {
  if (!display || !display->RunEventLoop || loadStatus != 0) {
    return Finished(RunChunk(L, loadStatus, nargs, error));
  }
  lua_pushnumber(L, nargs);
  lua_insert(L, -2 - nargs);
  lua_pushcclosure(L, MainChunk, nargs + 2);
  gMainResult = MainResult{};
  ClearErrorArguments();
  int rc = display->RunEventLoop(L);
  if (rc != 0) {
    *error = ErrorMessage(rc);
    return false;
  }
  *error = gMainResult.error;
  return Finished(gMainResult.ok);
}

}  // namespace

bool Host::RunFile(const std::string& path, const std::vector<std::string>& arguments,
                   std::string* error) {
  lua_State* L = impl_->L;
  lua_newtable(L);
  lua_pushstring(L, path.c_str());
  lua_rawseti(L, -2, 0);
  for (size_t i = 0; i < arguments.size(); ++i) {
    lua_pushstring(L, arguments[i].c_str());
    lua_rawseti(L, -2, static_cast<int>(i + 1));
  }
  lua_setglobal(L, "arg");
  int status = luaL_loadfile(L, path.c_str());
  if (status == 0) {
    for (const std::string& a : arguments) lua_pushstring(L, a.c_str());
  }
  return RunMain(impl_->display, L, status, status == 0 ? static_cast<int>(arguments.size()) : 0,
                 error);
}

bool Host::RunString(const std::string& code, std::string* error) {
  lua_State* L = impl_->L;
  return RunMain(impl_->display, L, luaL_loadbuffer(L, code.data(), code.size(), "=chunk"), 0,
                 error);
}

void Host::Stop() {
  Impl& d = *impl_;
  if (d.stopped) return;
  d.stopped = true;
  // Finalizers that the interpreter's close runs may call commands; the
  // libraries are closed by then, so every command is refused from here on.
  if (d.L) UnwindCommands(d.L, 0);
  State().shuttingDown = true;
  for (auto it = d.plugins.rbegin(); it != d.plugins.rend(); ++it) {
    if (it->initialised) it->close(d.L);
  }
  if (d.L) {
    for (const HostSibling* s : d.siblings) {
      if (s->reset) s->reset(d.L);
    }
    lua_close(d.L);
    d.L = nullptr;
  }
  ForgetCommandTables();
  ResetMessages();
  ClearVirtualFiles();
  for (Plugin& p : d.plugins) platform::UnloadSharedLibrary(p.handle);
  d.plugins.clear();
}

lua_State* Host::L() const {
  return impl_->L;
}

const std::vector<LoadedLibrary>& Host::Libraries() const {
  return impl_->infos;
}

std::vector<std::string> Host::UnwrittenAtClose() const {
  return State().unwrittenAtClose;
}

long Host::LiveBlocks() const {
  return State().liveBlocks.load();
}

}  // namespace tessera
