// The frame's entry points, seen the way a host sees them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "host_state.h"
#include "services.h"
#include "tessera/host.h"
#include "tzx/siblings.h"

namespace {

using EntryFn = void* (*)(tzx::HostServices*, const char**);
using GetConstantsFn = const tzx::ConstantRow* (*)();
using SetInterfaceFn = void (*)(const char*, const void*);
using InitFn = int (*)(lua_State*);
using CloseFn = void (*)(lua_State*);

// One plug-in opened by hand, with its entry points.
struct Plugin {
  void* handle;
  EntryFn entry;
  GetConstantsFn constants;
  SetInterfaceFn setInterface;
  InitFn init;
  CloseFn close;

  explicit Plugin(const std::string& name) {
    // RTLD_LOCAL with a fresh load: each test sees unbound slots.
    handle =
        dlopen((std::string(TZX_PLUGIN_DIR) + "/" + name + ".tzx").c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle, nullptr) << dlerror();
    entry = reinterpret_cast<EntryFn>(dlsym(handle, "tzx_Entry"));
    constants = reinterpret_cast<GetConstantsFn>(dlsym(handle, "tzx_GetConstants"));
    setInterface = reinterpret_cast<SetInterfaceFn>(dlsym(handle, "tzx_SetInterface"));
    init = reinterpret_cast<InitFn>(dlsym(handle, "tzx_InitLibrary"));
    close = reinterpret_cast<CloseFn>(dlsym(handle, "tzx_CloseLibrary"));
  }
  ~Plugin() { dlclose(handle); }
};

TEST(FrameEntry, DescriptorPointsAtNulThenVersionText) {
  for (const char* name : {"text", "graphics", "display", "dos", "brush"}) {
    Plugin p(name);
    const char* descriptor = nullptr;
    tzx::HostServices* services = tzx::host::RootServices();
    EXPECT_EQ(p.entry(services, &descriptor), services);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor[0], '\0');
    EXPECT_EQ(std::string(descriptor + 1),
              std::string("$VER: ") + name + ".tzx 11.0 (10.01.26) [Windows] [x86] ");
  }
}

TEST(FrameEntry, ConstantTableEndsAtNullNameAndStringsHaveNumberZero) {
  const std::pair<const char*, int> expected[] = {
      {"text", 105}, {"graphics", 70}, {"display", 123}, {"dos", 63}, {"brush", 19}};
  for (auto [name, count] : expected) {
    Plugin p(name);
    const char* descriptor;
    p.entry(tzx::host::RootServices(), &descriptor);
    const tzx::ConstantRow* rows = p.constants();
    int n = 0;
    for (; rows[n].name; ++n) {
      if (rows[n].string) {
        EXPECT_EQ(rows[n].number, 0) << rows[n].name;
      }
    }
    EXPECT_EQ(n, count) << name;
    EXPECT_EQ(rows[n].string, nullptr);
    EXPECT_EQ(rows[n].number, 0);
  }
}

// A stand-in object sibling that records what the frame asks of it.
struct Recorder {
  static inline std::vector<std::pair<int, std::string>> registered;
  static inline int forgotten = 0;
  static void Register(int32_t type, const char* plural, tzx::ObjectHeader**, tzx::AttributeFn, int,
                       int) {
    registered.emplace_back(type, plural);
  }
  static void Forget(lua_State*, void*) { ++forgotten; }
  static inline const tzx::ObjectSibling kTable = {nullptr, Forget, nullptr, nullptr, Register};
};

class FrameLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    Recorder::registered.clear();
    Recorder::forgotten = 0;
    tzx::host::State().liveBlocks = 0;
    L = luaL_newstate();
    luaL_openlibs(L);
    const char* descriptor;
    plugin.entry(tzx::host::RootServices(), &descriptor);
  }
  void TearDown() override { lua_close(L); }

  std::string Run(const char* code) {
    if (luaL_dostring(L, code) != 0) {
      std::string e = lua_tostring(L, -1);
      lua_pop(L, 1);
      return e;
    }
    return "";
  }

  lua_State* L = nullptr;
  Plugin plugin{"frametest"};
};

TEST_F(FrameLibrary, BindingTheSameNameTwiceKeepsTheLastAndUnknownNamesAreIgnored) {
  static const int first = 1, second = 2;
  plugin.setInterface("other", &first);
  plugin.setInterface("other", &second);
  plugin.setInterface("nosuchlibrary", &first);
  ASSERT_EQ(plugin.init(L), 0);
  lua_pushlightuserdata(L, const_cast<int*>(&second));
  lua_setglobal(L, "second");
  EXPECT_EQ(Run("assert(BoundSibling('other') == second)\n"
                "assert(BoundSibling('graphics') == nil)\n"
                "assert(BoundSibling('nosuchlibrary') == nil)"),
            "");
  plugin.close(L);
}

TEST_F(FrameLibrary, ClosingForgetsTheBoundSiblings) {
  static const int table = 1;
  plugin.setInterface("other", &table);
  ASSERT_EQ(plugin.init(L), 0);
  plugin.close(L);
  // The library stays mapped (the fixture holds it): started again for
  // another interpreter, it must not reach the old host's table.
  lua_close(L);
  L = luaL_newstate();
  luaL_openlibs(L);
  ASSERT_EQ(plugin.init(L), 0);
  EXPECT_EQ(Run("assert(BoundSibling('other') == nil)"), "");
  plugin.close(L);
}

TEST_F(FrameLibrary, ObjectTypesAreRegisteredOnlyWithTheObjectSibling) {
  ASSERT_EQ(plugin.init(L), 0);
  EXPECT_TRUE(Recorder::registered.empty());
  EXPECT_EQ(Run("MakeThing(nil) MakeThing(2)"), "");
  plugin.close(L);
  EXPECT_EQ(Recorder::forgotten, 0);
  EXPECT_EQ(tzx::host::State().liveBlocks, 0);
}

TEST_F(FrameLibrary, CloseForgetsAndFreesEveryRecord) {
  plugin.setInterface("object", &Recorder::kTable);
  ASSERT_EQ(plugin.init(L), 0);
  ASSERT_EQ(Recorder::registered.size(), 1u);
  EXPECT_EQ(Recorder::registered[0], (std::pair<int, std::string>{9001, "Things"}));
  // The same number twice replaces the first object.
  EXPECT_EQ(Run("a = MakeThing(nil) MakeThing(2) MakeThing(2) assert(type(a) == 'userdata')"), "");
  EXPECT_EQ(Recorder::forgotten, 1);
  EXPECT_EQ(tzx::host::State().liveBlocks, 4);
  plugin.close(L);
  EXPECT_EQ(Recorder::forgotten, 3);
  EXPECT_EQ(tzx::host::State().liveBlocks, 0);
}

TEST_F(FrameLibrary, CommandsAreGlobalsInBothSpellings) {
  ASSERT_EQ(plugin.init(L), 0);
  EXPECT_EQ(Run("assert(makething == MakeThing and boundsibling == BoundSibling)"), "");
  plugin.close(L);
}

std::string StartError(std::vector<std::string> libraries) {
  tessera::HostOptions options;
  options.pluginDir = TZX_PLUGIN_DIR;
  options.libraries = std::move(libraries);
  tessera::Host host(options);
  std::string error;
  EXPECT_FALSE(host.Start(&error));
  return error;
}

TEST(FrameStartUp, TextDisplayAndBrushRefuseToStartWithoutGraphics) {
  for (const char* name : {"text", "display", "brush"}) {
    std::string error = StartError({name});
    EXPECT_NE(error.find("(error 1686)"), std::string::npos) << error;
    EXPECT_NE(error.find(std::string("\"") + name + "\""), std::string::npos) << error;
  }
  for (const char* name : {"text", "display", "brush"}) {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"graphics", name};
    tessera::Host host(options);
    std::string error;
    EXPECT_TRUE(host.Start(&error)) << error;
  }
}

TEST(FrameStartUp, DosAndGraphicsStartAlone) {
  for (const char* name : {"dos", "graphics"}) {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {name};
    tessera::Host host(options);
    std::string error;
    EXPECT_TRUE(host.Start(&error)) << error;
  }
}

}  // namespace
