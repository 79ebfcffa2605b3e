// The slots of dos.tzx's interface that reach open files and the two line I/O
// switches, as a sibling library sees them through the loaded plug-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace
