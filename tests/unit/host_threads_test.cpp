// Threads and messages: workers post, the script thread dispatches.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "host_state.h"
#include "messages.h"
#include "services.h"
#include "tzx/errors.h"

namespace {

using namespace tzx;
using namespace tzx::host;

std::vector<int> gDelivered;

void Record(lua_State*, const PostedMessage& m) {
  gDelivered.push_back(m.a);
}

struct Worker {
  std::atomic<bool> ran{false};
  char name[32] = {};
};

void WorkerEntry(void* argument) {
  auto* w = static_cast<Worker*>(argument);
  pthread_getname_np(pthread_self(), w->name, sizeof w->name);
  for (int i = 0; i < 3; ++i) kThreads.postMessage(kMsgProgramOutput, nullptr, i, 0, 0, 1);
  w->ran = true;
}

TEST(HostThreads, WorkerMessagesReachTheScriptThreadInOrder) {
  ResetMessages();
  gDelivered.clear();
  SetMessageHandler(kMsgProgramOutput, Record);
  Worker w;
  HostThread* t =
      kThreads.createThread("Tessera external program thread", WorkerEntry, &w, 0, 16384, 0, 0, 0);
  ASSERT_NE(t, nullptr);
  kThreads.stopThread(t);  // waits for the worker to end
  EXPECT_TRUE(w.ran);
  EXPECT_STREQ(w.name, "Tessera externa");  // the system keeps 15 characters
  EXPECT_TRUE(gDelivered.empty());          // nothing runs until the script thread checks
  int stop = -1;
  EXPECT_EQ(kThreads.eventCheck(nullptr, 2, 0, &stop), 0);
  EXPECT_EQ(stop, 0);
  EXPECT_EQ(gDelivered, (std::vector<int>{0, 1, 2}));
  ResetMessages();
}

TEST(HostThreads, AbortFlagStopsEventChecksAndWaits) {
  ResetMessages();
  *kMemory.abortFlag = 1;
  int stop = 0;
  EXPECT_EQ(kThreads.eventCheck(nullptr, 2, 0, &stop), kErrAborted);
  EXPECT_EQ(stop, 1);
  EXPECT_EQ(kThreads.wait(nullptr, 1), kErrAborted);  // returns instead of blocking
  *kMemory.abortFlag = 0;
}

}  // namespace
