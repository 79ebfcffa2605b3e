// The host services as the libraries call them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "command_scope.h"
#include "commands.h"
#include "file_handle.h"
#include "host_state.h"
#include "lua_api.h"
#include "services.h"
#include "text_codec.h"
#include "tzx/errors.h"

namespace {

using namespace tzx;
using namespace tzx::host;

const LuaApi& Api() {
  return kLuaApi;
}

class LuaFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
    luaL_openlibs(L);
  }
  void TearDown() override { lua_close(L); }
  lua_State* L;
};

TEST(PseudoIndex, ClassicIndicesMapToTheEmbeddedInterpreter) {
  EXPECT_EQ(TranslateIndex(kRegistryIndex), LUA_REGISTRYINDEX);
  EXPECT_EQ(TranslateIndex(kGlobalsIndex), LUA_GLOBALSINDEX);
  EXPECT_EQ(TranslateIndex(UpvalueIndex(1)), lua_upvalueindex(1));
  EXPECT_EQ(TranslateIndex(UpvalueIndex(3)), lua_upvalueindex(3));
  EXPECT_EQ(TranslateIndex(1), 1);
  EXPECT_EQ(TranslateIndex(-1), -1);
}

int ReadUpvalues(lua_State* L) {
  Api().pushvalue(L, UpvalueIndex(2));
  Api().pushvalue(L, UpvalueIndex(1));
  return 2;
}

TEST_F(LuaFixture, UpvaluesAndGlobalsThroughClassicIndices) {
  Api().pushstring(L, "first");
  Api().pushnumber(L, 2);
  Api().pushcclosure(L, ReadUpvalues, 2);
  lua_setglobal(L, "f");
  ASSERT_EQ(luaL_dostring(L, "a, b = f()"), 0);
  lua_getglobal(L, "a");
  EXPECT_EQ(lua_tonumber(L, -1), 2);
  lua_getglobal(L, "b");
  EXPECT_STREQ(lua_tostring(L, -1), "first");
  lua_settop(L, 0);

  // gettable with the globals index fetches a global; the registry holds refs.
  Api().pushstring(L, "a");
  Api().gettable(L, kGlobalsIndex);
  EXPECT_EQ(Api().tonumber(L, -1), 2);
  int ref = Api().ref(L, kRegistryIndex);
  Api().rawgeti(L, kRegistryIndex, ref);
  EXPECT_EQ(Api().tonumber(L, -1), 2);
  Api().unref(L, kRegistryIndex, ref);
}

TEST_F(LuaFixture, ObjectIdReaders) {
  lua_pushnil(L);
  lua_pushnumber(L, 7.9);
  int x = 0;
  lua_pushlightuserdata(L, &x);
  ObjectId automatic = kArguments.newObjectId(L, 1);
  EXPECT_EQ(automatic.number, 0);
  EXPECT_NE(automatic.pointer, nullptr);
  EXPECT_EQ(kArguments.newObjectId(L, 2), (ObjectId{7, nullptr}));
  EXPECT_EQ(kArguments.objectId(L, 3), (ObjectId{0, &x}));
  kArguments.pushObjectId(L, ObjectId{0, &x});
  EXPECT_EQ(lua_touserdata(L, -1), &x);
}

TEST_F(LuaFixture, TableFieldReadersLeaveAbsentKeysAlone) {
  ASSERT_EQ(luaL_dostring(L,
                          "return {n = -3.7, s = 'hello', p = '50%', b = true,"
                          " m = {[0] = 1, 2, 3, 4}, c = 4278190080}"),
            0);
  int32_t i = 42;
  EXPECT_FALSE(kArguments.fieldInt(L, -1, "missing", &i));
  EXPECT_EQ(i, 42);
  EXPECT_TRUE(kArguments.fieldInt(L, -1, "n", &i));
  EXPECT_EQ(i, -3);  // truncated toward zero
  char buffer[4];
  EXPECT_TRUE(kArguments.fieldString(L, -1, "s", buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "hel");  // bounded and terminated
  double d = 0;
  EXPECT_TRUE(kArguments.fieldPercent(L, -1, "p", 200, &d));
  EXPECT_EQ(d, 100);
  EXPECT_TRUE(kArguments.fieldPercent(L, -1, "n", 200, &d));
  EXPECT_EQ(d, -3.7);
  int32_t flag = 0;
  EXPECT_TRUE(kArguments.fieldBool(L, -1, "b", &flag));
  EXPECT_EQ(flag, 1);
  double m[4] = {};
  EXPECT_TRUE(kArguments.fieldMatrix(L, -1, "m", m));
  EXPECT_EQ(m[0], 1);
  EXPECT_EQ(m[3], 4);
  uint32_t color = 0;
  EXPECT_TRUE(kArguments.fieldColor(L, -1, "c", &color));
  EXPECT_EQ(color, 0xFF000000u);
  EXPECT_EQ(lua_gettop(L), 1);  // every reader pops what it pushed
}

TEST(TextConversion, Latin1AndUtf8RoundTrip) {
  std::string out;
  ASSERT_TRUE(ConvertText("caf\xE9", 4, 0, 1, &out));
  EXPECT_EQ(out, "caf\xC3\xA9");
  ASSERT_TRUE(ConvertText(out.data(), out.size(), 1, 0, &out));
  EXPECT_EQ(out, "caf\xE9");
  // A character beyond ISO 8859-1 and broken UTF-8 are failures, not losses.
  EXPECT_FALSE(ConvertText("\xE2\x82\xAC", 3, 1, 0, &out));
  EXPECT_FALSE(ConvertText("\xC3", 1, 1, 0, &out));
  EXPECT_FALSE(ConvertText("\xC0\x80", 2, 1, 1, &out));  // overlong NUL
}

TEST(TextConversion, ServiceResultIsAllocatedFromHostMemory) {
  long before = State().liveBlocks;
  size_t length = 0;
  char* text = kErrorReporting.convertText("\xE9t\xE9", 0, 1, nullptr, &length);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(length, 5u);
  EXPECT_STREQ(text, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(State().liveBlocks, before + 1);
  kMemory.free(text);
  EXPECT_EQ(State().liveBlocks, before);
}

TEST(Utf8, EncodeDecodeAndOffsets) {
  char buf[8];
  EXPECT_EQ(kUtf8.encode(buf, 0x20AC), 3);
  EXPECT_STREQ(buf, "\xE2\x82\xAC");
  EXPECT_EQ(kUtf8.encode(buf, 0xD800), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(kUtf8.encode(buf, 0x110000), 0);
  uint32_t c = 0;
  EXPECT_EQ(kUtf8.decode("\xF0\x9F\x98\x80", &c), 4);
  EXPECT_EQ(c, 0x1F600u);
  EXPECT_EQ(kUtf8.decode("\xE2\x82", &c), 0);  // cut short by the terminator
  // Runs of text need not be terminated: decoding the last character of a
  // buffer reads no byte behind it (the sanitiser build checks).
  const std::unique_ptr<char[]> run(new char[3]{'a', '\xC3', '\xA9'});
  EXPECT_EQ(kUtf8.decode(run.get() + 1, &c), 2);
  EXPECT_EQ(c, 0xE9u);
  EXPECT_EQ(kUtf8.decode(run.get(), &c), 1);
  EXPECT_EQ(kUtf8.offset("a\xC3\xA9z", 2), 3u);
  EXPECT_EQ(kUtf8.offset("ab", 5), 2u);
  EXPECT_TRUE(kUtf8.isValid("\xC3\xA9", 2));
  EXPECT_FALSE(kUtf8.isValid("\xED\xA0\x80", 3));  // a surrogate
}

class FileFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(TZX_TEST_TMP);
    path = std::string(TZX_TEST_TMP) + "/host_files_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  std::string Contents() {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string path;
};

TEST_F(FileFixture, TypedValuesInBothByteOrders) {
  FileHandle* h = kFileSystem.openFile(path.c_str(), kAccessWrite | kAccessDos, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  uint16_t s = 0x1234;
  uint32_t i = 0xA1B2C3D4;
  uint64_t q = 0x0102030405060708ull;
  EXPECT_EQ(kFileSystem.write(h, &s, kIoValue, 2, 0, 0), 0);
  EXPECT_EQ(kFileSystem.write(h, &s, kIoValue, 2, kIoLittleEndian, 0), 0);
  EXPECT_EQ(kFileSystem.write(h, &i, kIoValue, 4, 0, 0), 0);
  EXPECT_EQ(kFileSystem.write(h, &q, kIoValue, 8, kIoLittleEndian, 0), 0);
  EXPECT_EQ(kFileSystem.write(h, "ab", kIoBlock, 2, 0, 0), 0);  // blocks are never swapped
  kStreamIo.closeFile(h);
  EXPECT_EQ(Contents(), std::string("\x12\x34\x34\x12\xA1\xB2\xC3\xD4"
                                    "\x08\x07\x06\x05\x04\x03\x02\x01"
                                    "ab",
                                    18));

  h = kFileSystem.openFile(path.c_str(), kAccessRead, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  uint16_t s1 = 0, s2 = 0;
  uint32_t i1 = 0;
  uint64_t q1 = 0;
  EXPECT_EQ(kFileSystem.read(h, &s1, kIoValue, 2, 0, 0), 0);
  EXPECT_EQ(kFileSystem.read(h, &s2, kIoValue, 2, kIoLittleEndian, 0), 0);
  EXPECT_EQ(kFileSystem.read(h, &i1, kIoValue, 4, 0, 0), 0);
  EXPECT_EQ(kFileSystem.read(h, &q1, kIoValue, 8, kIoLittleEndian, 0), 0);
  EXPECT_EQ(s1, 0x1234);
  EXPECT_EQ(s2, 0x1234);
  EXPECT_EQ(i1, 0xA1B2C3D4u);
  EXPECT_EQ(q1, q);
  EXPECT_EQ(kFileSystem.length(h), 18);
  EXPECT_EQ(kFileSystem.seek(h, -2, kSeekEnd), 16);
  EXPECT_EQ(kFileSystem.read(h, &i1, kIoValue, 4, 0, 0), kErrRead);  // only two bytes left
  EXPECT_NE(kStreamIo.eof(h), 0);
  EXPECT_EQ(kFileSystem.seek(h, -1, kSeekBeginning), -1);
  kStreamIo.closeFile(h);
}

TEST_F(FileFixture, MixedBufferedAndUnbufferedAccessStayInStep) {
  FileHandle* h = kFileSystem.openFile(path.c_str(), kAccessReadWrite, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(kStreamIo.writeBytes(h, "hello world", 11), 11);
  EXPECT_EQ(kFileSystem.seek(h, 0, kSeekBeginning), 0);
  EXPECT_EQ(kStreamIo.getc(h), 'h');
  char buf[4] = {};
  EXPECT_EQ(kFileSystem.readUnbuffered(h, buf, 3), 3);
  EXPECT_STREQ(buf, "ell");
  EXPECT_EQ(kStreamIo.putc(h, 'O'), 'O');
  EXPECT_EQ(kFileSystem.seek(h, 0, kSeekCurrent), 5);
  EXPECT_EQ(kFileSystem.writeUnbuffered(h, "_", 1), 1);
  kStreamIo.closeFile(h);
  EXPECT_EQ(Contents(), "hellO_world");
}

TEST_F(FileFixture, VirtualFilesOverARegionAndOverAString) {
  { std::ofstream(path) << "0123456789"; }
  char virtualPath[256];
  ASSERT_EQ(kFileSystem.defineVirtualFile(path.c_str(), 3, 4, "part.bin", virtualPath,
                                          sizeof virtualPath),
            0);
  EXPECT_STREQ(kStreamIo.filePart(virtualPath), "part.bin");
  FileHandle* h = kFileSystem.openFile(virtualPath, kAccessRead, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  char buf[8] = {};
  EXPECT_EQ(kStreamIo.readBytes(h, buf, 8), 4);
  EXPECT_STREQ(buf, "3456");
  EXPECT_EQ(kFileSystem.length(h), 4);
  kStreamIo.closeFile(h);
  // A region cannot be written, nor undefined as a string file.
  EXPECT_EQ(kFileSystem.openFile(virtualPath, kAccessWrite, nullptr, nullptr), nullptr);
  EXPECT_NE(kFileSystem.undefineVirtualString(virtualPath), 0);

  ASSERT_EQ(kFileSystem.defineVirtualString("a\0b", 3, "s.txt", 0, virtualPath, sizeof virtualPath),
            0);
  h = kFileSystem.openFile(virtualPath, kAccessRead, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(kStreamIo.readBytes(h, buf, 8), 3);
  EXPECT_EQ(std::memcmp(buf, "a\0b", 3), 0);
  kStreamIo.closeFile(h);
  EXPECT_EQ(kFileSystem.undefineVirtualString(virtualPath), 0);
  EXPECT_EQ(kFileSystem.openFile(virtualPath, kAccessRead, nullptr, nullptr), nullptr);
  // A path that is too long for the caller's buffer is refused, not cut.
  char tiny[8];
  EXPECT_EQ(kFileSystem.defineVirtualString("x", 1, "long-name.txt", 0, tiny, sizeof tiny),
            kErrNoMemory);
}

TEST(Paths, JoinAndParts) {
  char buffer[32] = "dir";
  EXPECT_TRUE(kStreamIo.pathJoin(buffer, "file.txt", sizeof buffer));
  EXPECT_STREQ(buffer, "dir/file.txt");
  char small[8] = "dir/";
  EXPECT_FALSE(kStreamIo.pathJoin(small, "file.txt", sizeof small));
  EXPECT_STREQ(small, "dir/");  // untouched when it does not fit
  const char* path = "a/b/c.txt";
  EXPECT_STREQ(kStreamIo.filePart(path), "c.txt");
  EXPECT_EQ(kStreamIo.pathPart(path), path + 3);
  EXPECT_STREQ(kStreamIo.filePart("plain"), "plain");
}

}  // namespace

namespace {

int FailWithFileNumber(lua_State* L) {
  tzx::host::kErrorReporting.setErrorNumber(12);
  tzx::host::RaiseError(L, tzx::kErrUnknownFile);
}

int NameOfRunningCommand(lua_State* L) {
  lua_pushstring(L, tzx::host::RunningCommand());
  return 1;
}

// Every row reaches its own function, in both spellings of its name, whether
// it has a trampoline of its own or shares the one for rows beyond those.
TEST_F(LuaFixture, EveryRegisteredCommandRunsItsOwnRow) {
  constexpr int kRows = 1100;  // more than there are trampolines of their own
  std::vector<std::string> names;
  for (int i = 0; i < kRows; ++i) names.push_back("Cmd" + std::to_string(i));
  std::vector<CommandRow> rows;
  for (const std::string& name : names) rows.push_back({name.c_str(), NameOfRunningCommand});
  rows.push_back({nullptr, nullptr});
  RegisterCommandTable(L, rows.data());
  ASSERT_EQ(luaL_dostring(L, R"(
    for i = 0, 1099 do
      local name = "Cmd" .. i
      assert(_G[name]() == name, name)
      assert(_G[name:lower()]() == name, name:lower())
    end
  )"),
            0)
      << lua_tostring(L, -1);
  EXPECT_EQ(RunningCommand(), nullptr);
  // Registered again, as a new interpreter would, the rows keep their slots.
  RegisterCommandTable(L, rows.data());
  EXPECT_EQ(luaL_dostring(L, "assert(Cmd0() == 'Cmd0' and Cmd1099() == 'Cmd1099')"), 0)
      << lua_tostring(L, -1);
  ForgetCommandTables();
}

TEST_F(LuaFixture, ScriptCallsHandOnTheCodeOfAFailingCommand) {
  lua_register(L, "Fail", FailWithFileNumber);
  // A command's error keeps its code and arguments through a protected call.
  luaL_loadstring(L, "Fail()");
  int code = kLuaApi.callScript(L, 0, 0);
  EXPECT_EQ(code, tzx::kErrUnknownFile);
  std::string message = tzx::host::ErrorMessage(code);
  EXPECT_NE(message.find("12"), std::string::npos) << message;
  // Any other script error is the script-error code with the script's message.
  luaL_loadstring(L, "pcall(Fail) error('custom')");
  EXPECT_EQ(kLuaApi.callScript(L, 0, 0), tzx::kErrScript);
  message = tzx::host::ErrorMessage(tzx::kErrScript);
  EXPECT_NE(message.find("custom"), std::string::npos) << message;
  EXPECT_EQ(lua_gettop(L), 0);
}

}  // namespace
