// Every slot of dos.tzx's interface, called the way a sibling library or the
// host's linking side calls it through the loaded plug-in.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "messages.h"
#include "services.h"
#include "tessera/host.h"
#include "tzx/dos.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace {

using tzx::ObjectId;
using tzx::dos::DosInterface;
using tzx::dos::FileNode;

class DosInterfaceTest : public testing::Test {
 protected:
  void SetUp() override { Start(); }
  void Start() {
    options_.pluginDir = TZX_PLUGIN_DIR;
    options_.libraries = {"dos"};
    host_ = std::make_unique<tessera::Host>(options_);
    std::string error;
    ASSERT_TRUE(host_->Start(&error)) << error;
    dos_ = static_cast<const DosInterface*>(host_->Libraries()[0].interface);
    std::filesystem::create_directories(TZX_TEST_TMP);
    path_ = std::string(TZX_TEST_TMP) + "/dos_interface_" +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
  }
  void TearDown() override {
    host_->Stop();
    EXPECT_EQ(host_->LiveBlocks(), 0);
    std::filesystem::remove(path_);
  }
  void Run(const std::string& code) {
    std::string error;
    ASSERT_TRUE(host_->RunString(code, &error)) << error;
  }
  // The error message of a chunk that must fail.
  std::string Fail(const std::string& code) {
    std::string error;
    EXPECT_FALSE(host_->RunString(code, &error));
    return error;
  }

  tessera::HostOptions options_;
  std::unique_ptr<tessera::Host> host_;
  const DosInterface* dos_ = nullptr;
  std::string path_;
};

TEST_F(DosInterfaceTest, FindFileHandleReachesOpenFiles) {
  ASSERT_TRUE(dos_->findFileHandle);
  Run("OpenFile(3, '" + path_ + "', MODE_WRITE, {encoding = 0})");
  FileNode* node = nullptr;
  ObjectId three{3, nullptr};
  ASSERT_EQ(dos_->findFileHandle(&three, &node), 0);
  ASSERT_TRUE(node);
  EXPECT_EQ(node->header.type, tzx::kTypeFile);
  EXPECT_EQ(node->mode, 1006);
  EXPECT_EQ(node->access, tzx::kAccessWrite);
  EXPECT_EQ(node->encoding, 0);
  EXPECT_TRUE(node->handle);

  ObjectId nine{9, nullptr};
  EXPECT_EQ(dos_->findFileHandle(&nine, &node), tzx::kErrUnknownFile);
  int unknown;
  ObjectId stray{0, &unknown};
  EXPECT_EQ(dos_->findFileHandle(&stray, &node), tzx::kErrUnknownAutoId);
  // Once closed, the number is unknown again.
  Run("CloseFile(3)");
  EXPECT_EQ(dos_->findFileHandle(&three, &node), tzx::kErrUnknownFile);
}

TEST_F(DosInterfaceTest, SwitchPointersFollowTheCommands) {
  ASSERT_TRUE(dos_->currentIoMode && dos_->useCarriageReturn);
  EXPECT_EQ(*dos_->currentIoMode, 0);
  EXPECT_EQ(*dos_->useCarriageReturn, 1);
  Run("SetIOMode(IO_UNBUFFERED) UseCarriageReturn(0)");
  EXPECT_EQ(*dos_->currentIoMode, 1);
  EXPECT_EQ(*dos_->useCarriageReturn, 0);
  EXPECT_EQ(dos_->end, nullptr);
}

// What the event library receives when a run ends, taken before it does.
tzx::WorkerEventMessage* gFinished = nullptr;
void TakeFinished(lua_State*, const tzx::host::PostedMessage& m) {
  gFinished = static_cast<tzx::WorkerEventMessage*>(m.data);
}

// Slot 1 as the event library calls it once the "RunFinished" event is
// delivered: the run and everything it holds are freed.
TEST_F(DosInterfaceTest, FreeProgramRunFreesADeliveredRun) {
  ASSERT_TRUE(dos_->freeProgramRun);
  gFinished = nullptr;
  tzx::host::SetMessageHandler(tzx::kMsgProgramFinished, TakeFinished);
  Run("Run('/bin/sh', '-c \"exit 9\"', {userdata = {}})");
  while (!gFinished) tzx::host::kThreads.wait(host_->L(), 0);
  EXPECT_EQ(gFinished->value, 9);
  EXPECT_EQ(std::string(gFinished->text, gFinished->length), "/bin/sh");
  ASSERT_TRUE(gFinished->run);
  long before = host_->LiveBlocks();
  auto* run = static_cast<tzx::dos::ProgramRun*>(gFinished->run);
  dos_->freeProgramRun(host_->L(), run);
  EXPECT_EQ(host_->LiveBlocks(), before - 1);
  // A record handed back twice is let alone the second time.
  dos_->freeProgramRun(host_->L(), run);
  EXPECT_EQ(host_->LiveBlocks(), before - 1);
  tzx::host::kMemory.free(gFinished);
}

// Without the event library, commands whose results arrive as events fail
// with 1685; a run that wants no event still starts.
TEST_F(DosInterfaceTest, EventsWantedWithoutTheEventLibrary) {
  host_->Stop();
  options_.siblings = {"object", "time", "async"};
  Start();
  EXPECT_NE(Fail("Run('/bin/true')").find("(error 1685)"), std::string::npos);
  EXPECT_NE(Fail("Run('/bin/true', '', {ignorehandlers = 'RunFinished'})").find("(error 1685)"),
            std::string::npos);
  Run("Run('/bin/true', '', {ignorehandlers = 'RunOutput;RunFinished'})");
  EXPECT_NE(Fail("MonitorDirectory(1, '.')").find("(error 1685)"), std::string::npos);
}

// The serialised form of a linked tree: 32-bit little-endian words.
struct TreeBytes {
  std::string bytes;
  TreeBytes& Word(uint32_t w) {
    for (int i = 0; i < 4; ++i) bytes += char((w >> (8 * i)) & 0xFF);
    return *this;
  }
  TreeBytes& Name(const std::string& name) {
    Word(uint32_t(name.size()));
    bytes += name;
    return *this;
  }
  TreeBytes& File(const std::string& name, uint64_t size) {
    return Name(name).Word(0).Word(uint32_t(size)).Word(uint32_t(size >> 32));
  }
};

// { "a.txt" (5 bytes), "sub" { "big.bin" (8 GiB), "deep" {} } }, the inner
// name written with a backslash as Windows linkers write it.
std::string SampleTree() {
  TreeBytes t;
  t.Word(2).File("a.txt", 5).Name("sub").Word(1).Word(2).File("big.bin", 8ull << 30);
  t.Name("deep").Word(1).Word(0);
  return t.bytes;
}

class DosLinkedTrees : public DosInterfaceTest {
 protected:
  // Reads `bytes` through slot 4 from a file the script opened as file 1.
  int ReadTree(const std::string& bytes, tzx::dos::LinkRequest* request) {
    std::ofstream(path_, std::ios::binary) << bytes;
    Run("OpenFile(1, '" + path_ + "', MODE_READ)");
    FileNode* file = nullptr;
    ObjectId one{1, nullptr};
    EXPECT_EQ(dos_->findFileHandle(&one, &file), 0);
    int rc = dos_->readDirTree(file->handle, request);
    Run("CloseFile(1)");
    return rc;
  }
  std::string Eval(const std::string& expression) {
    Run("result = tostring((" + expression + "))");
    lua_getglobal(host_->L(), "result");
    std::string r = lua_tostring(host_->L(), -1);
    lua_pop(host_->L(), 1);
    return r;
  }
};

TEST_F(DosLinkedTrees, ReadDirTreeBuildsTheTreeOrNothing) {
  tzx::dos::LinkRequest request{};
  request.wantEntries = 1;
  ASSERT_EQ(ReadTree(SampleTree(), &request), 0);
  const tzx::dos::DirTreeNode* a = request.tree;
  ASSERT_TRUE(a);
  EXPECT_STREQ(a->name, "a.txt");
  EXPECT_EQ(a->isDirectory, 0);
  EXPECT_EQ(a->size, 5);
  ASSERT_TRUE(a->left);
  const tzx::dos::DirTreeNode* sub = a->left;
  EXPECT_STREQ(sub->name, "sub");
  EXPECT_EQ(sub->isDirectory, 1);
  EXPECT_EQ(sub->left, nullptr);
  ASSERT_TRUE(sub->right);
  EXPECT_STREQ(sub->right->name, "big.bin");
  EXPECT_EQ(sub->right->size, int64_t(8) << 30);
  EXPECT_STREQ(sub->right->left->name, "deep");
  EXPECT_EQ(sub->right->left->right, nullptr);

  // Slot 3 frees all four nodes.
  long before = host_->LiveBlocks();
  dos_->freeDirTree(request.tree);
  EXPECT_EQ(host_->LiveBlocks(), before - 4);

  // Data that ends early or is no tree leaves nothing behind.
  std::string whole = SampleTree();
  for (size_t cut : {size_t(0), size_t(3), size_t(20), whole.size() - 1}) {
    request.tree = nullptr;
    before = host_->LiveBlocks();
    EXPECT_EQ(ReadTree(whole.substr(0, cut), &request), tzx::kErrRead) << cut;
    EXPECT_EQ(request.tree, nullptr);
    EXPECT_EQ(host_->LiveBlocks(), before);
  }
  TreeBytes flag;
  flag.Word(1).Name("x").Word(7);
  EXPECT_EQ(ReadTree(flag.bytes, &request), tzx::kErrRead);
  TreeBytes empty;
  empty.Word(1).Word(0);
  EXPECT_EQ(ReadTree(empty.bytes, &request), tzx::kErrRead);
  // Without a request for entries nothing is read.
  request.wantEntries = 0;
  EXPECT_EQ(ReadTree("", &request), 0);
  EXPECT_EQ(request.tree, nullptr);
}

TEST_F(DosLinkedTrees, MakeLinkedEntryPathFindsEntries) {
  tzx::dos::LinkRequest request{};
  request.wantEntries = 1;
  ASSERT_EQ(ReadTree(SampleTree(), &request), 0);
  char out[64];
  lua_State* L = host_->L();
  ASSERT_EQ(dos_->makeLinkedEntryPath(L, request.tree, "sub\\big.bin", 7, out, sizeof out), 0);
  EXPECT_STREQ(out, ":::7,sub/big.bin");
  ASSERT_EQ(dos_->makeLinkedEntryPath(L, request.tree, "sub/deep", 2, out, sizeof out), 0);
  EXPECT_STREQ(out, ":::2,sub/deep");
  EXPECT_EQ(dos_->makeLinkedEntryPath(L, request.tree, "a.txt/x", 7, out, sizeof out),
            tzx::kErrOpenRead);
  EXPECT_EQ(dos_->makeLinkedEntryPath(L, request.tree, "missing", 7, out, sizeof out),
            tzx::kErrOpenRead);
  // Exactly full: ":::7,a.txt" and its NUL in 11 bytes, not in 10.
  EXPECT_EQ(dos_->makeLinkedEntryPath(L, request.tree, "a.txt", 7, out, 11), 0);
  EXPECT_EQ(dos_->makeLinkedEntryPath(L, request.tree, "a.txt", 7, out, 10), tzx::kErrNoMemory);
  dos_->freeDirTree(request.tree);
}

TEST_F(DosLinkedTrees, DeclareLinkedDirectoryListsTheTree) {
  tzx::dos::LinkRequest request{};
  request.wantEntries = 1;
  ASSERT_EQ(ReadTree(SampleTree(), &request), 0);
  request.type = tzx::dos::kLinkRequestNumbered;
  request.id = ObjectId{5, nullptr};
  request.recursive = 1;
  void* handle = &request;
  ASSERT_EQ(dos_->declareLinkedDirectory(host_->L(), "OpenDirectory", "linked", &request, &handle),
            0);
  EXPECT_EQ(request.tree, nullptr);  // the directory owns it
  EXPECT_EQ(handle, nullptr);        // a number id gives no handle
  Run("e = NextDirectoryEntry(5)");
  EXPECT_EQ(Eval("e.name .. e.size .. e.type"), "a.txt50");
  Run("e = NextDirectoryEntry(5)");
  EXPECT_EQ(Eval("e.name .. tostring(e.size) .. e.type"), "subnil1");
  EXPECT_EQ(Eval("NextDirectoryEntry(5)"), "nil");
  EXPECT_EQ(Eval("NextDirectoryEntry(5)"), "nil");
  // Files and folders, the whole tree: a.txt, big.bin; sub, deep.
  EXPECT_EQ(Eval("table.concat({CountDirectoryEntries(5, COUNTSEPARATE, 1)}, ' ')"), "2 2");
  EXPECT_EQ(Eval("NextDirectoryEntry(5).name"), "a.txt");
  EXPECT_EQ(Eval("GetDirectoryEntry(5, 'sub')"), ":::5,sub");
  // A folder of the tree, listed while its owner is closed.
  Run("OpenDirectory(6, ':::5,sub', {recursive = 0})");
  Run("CloseDirectory(5)");
  EXPECT_EQ(Eval("NextDirectoryEntry(6).name"), "big.bin");
  EXPECT_EQ(Eval("NextDirectoryEntry(6)"), "nil");
  Run("RewindDirectory(6)");
  EXPECT_EQ(Eval("NextDirectoryEntry(6).flags"), "15");
  Run("CloseDirectory(6)");
  EXPECT_NE(Fail("OpenDirectory(7, ':::5,sub')").find("(error 1318)"), std::string::npos);

  // An empty tree with a nil id: the command's handle comes back.
  tzx::dos::LinkRequest empty{};
  ASSERT_EQ(dos_->declareLinkedDirectory(host_->L(), "OpenDirectory", "e", &empty, &handle), 0);
  ASSERT_TRUE(handle);
  lua_pushlightuserdata(host_->L(), handle);
  lua_setglobal(host_->L(), "h");
  EXPECT_EQ(Eval("NextDirectoryEntry(h)"), "nil");
  EXPECT_EQ(Eval("CountDirectoryEntries(h, COUNTBOTH)"), "0");
  // A command that fails keeps the tree with the caller.
  ASSERT_EQ(ReadTree(SampleTree(), &request), 0);
  Run("function refuse() error('no') end");
  EXPECT_NE(dos_->declareLinkedDirectory(host_->L(), "refuse", "x", &request, nullptr), 0);
  ASSERT_TRUE(request.tree);
  dos_->freeDirTree(request.tree);
}

TEST_F(DosLinkedTrees, OpenFileThroughScriptCallsOpenFile) {
  std::ofstream(path_, std::ios::binary) << "data";
  tzx::dos::LinkRequest request{};
  request.id = ObjectId{4, nullptr};
  request.userTags = tzx::kNoRef;
  ASSERT_EQ(dos_->openFileThroughScript(host_->L(), path_.c_str(), &request), 0);
  FileNode* file = nullptr;
  ObjectId four{4, nullptr};
  ASSERT_EQ(dos_->findFileHandle(&four, &file), 0);
  EXPECT_EQ(file->mode, 1005);  // MODE_READ
  EXPECT_EQ(Eval("ReadString(4)"), "data");
  EXPECT_EQ(dos_->openFileThroughScript(host_->L(), "/no/such/file", &request), tzx::kErrOpenRead);

  // The adapter and the user tags in a fourth table.
  Run("function openfile(...) seen = {...} end tags = {color = 'red'}");
  lua_State* L = host_->L();
  lua_getglobal(L, "tags");
  request.userTags = luaL_ref(L, LUA_REGISTRYINDEX);
  std::strcpy(request.adapter, "zip");
  request.id = ObjectId{};
  ASSERT_EQ(dos_->openFileThroughScript(L, "p", &request), 0);
  EXPECT_EQ(Eval("seen[1] == nil and seen[2] .. seen[3] .. seen[4].adapter .. seen[4].color"),
            "p1005zipred");
  luaL_unref(L, LUA_REGISTRYINDEX, request.userTags);
}

}  // namespace
