// A tree copied by worker threads stops when the host's abort flag rises in
// the middle: every worker ends before the command returns, and what they
// leave is whole files only.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/threads.h"
#include "services.h"
#include "support/test_host.h"

namespace tzx::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 16;
constexpr int kFiles = 100;

// Files below `folder`, after checking that each is whole and none is a
// temporary one.
int WholeFiles(const fs::path& folder) {
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    EXPECT_EQ(entry.file_size(), 100u) << entry.path();
    ++files;
  }
  return files;
}

bool AnyFileIn(const fs::path& copy) {
  std::error_code ec;
  for (int d = 0; d < kFolders; ++d) {
    if (fs::exists(copy / ("d" + std::to_string(d)) / "f0", ec)) return true;
  }
  return false;
}

void MakeFolders(const fs::path& root) {
  const std::string line(100, 'x');
  for (int d = 0; d < kFolders; ++d) {
    const fs::path folder = root / ("d" + std::to_string(d));
    fs::create_directories(folder);
    for (int f = 0; f < kFiles; ++f) std::ofstream(folder / ("f" + std::to_string(f))) << line;
  }
}

// Threads of this process with the walkers' name (as the system keeps it).
int WalkerThreads() {
  int walkers = 0;
  std::error_code ec;
  for (const auto& task : fs::directory_iterator("/proc/self/task", ec)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    walkers += name == "Tessera file wa";
  }
  return walkers;
}

struct Watched {
  std::string failure;
  int walkers = 0;  // walker threads once the first file of `copy` was there
};

// Runs the chunk while a watcher waits for the first file below `copy`,
// counts the walker threads then, and raises the abort flag with `abort`.
Watched RunWatched(tessera::Host& host, const std::string& code, const fs::path& copy, bool abort) {
  Watched result;
  std::atomic<bool> finished{false};
  std::thread watcher([&] {
    while (!finished && !AnyFileIn(copy)) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    result.walkers = WalkerThreads();
    if (abort) *tzx::host::kMemory.abortFlag = 1;
  });
  result.failure = RunCode(host, code);
  finished = true;
  watcher.join();
  return result;
}

class DosSharedWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.Start(&error_)) << error_;
    fs::remove_all(dir_);
  }
  void TearDown() override {
    host_.Stop();
    EXPECT_EQ(host_.LiveBlocks(), 0);
    fs::remove_all(dir_);
  }
  // On one processor (of those this process may use) the walk stays on the
  // script thread.
  int ExpectedWalkers() const { return tzx::platform::ProcessorCount() > 1 ? 1 : 0; }

  tessera::Host host_{TestHostOptions({"dos"}, {})};
  std::string error_;
  // One folder per test: ctest runs them side by side.
  const fs::path dir_ =
      fs::path(TZX_TEST_TMP) / (std::string("dos_shared_walk_") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(DosSharedWalk, AbortFlagStopsEveryWorker) {
  MakeFolders(dir_ / "src");
  const fs::path copy = dir_ / "dst" / "src";
  const Watched run = RunWatched(
      host_, "CopyFile('" + (dir_ / "src").string() + "', '" + (dir_ / "dst").string() + "')", copy,
      true);
  // Stopped by the host, as a walk on the script thread is: not a failure.
  EXPECT_EQ(run.failure, "");
  EXPECT_GE(run.walkers, ExpectedWalkers());
  const int left = WholeFiles(copy);
  EXPECT_LT(left, kFolders * kFiles) << "the copy went on to its end";
  // No worker writes on after the command.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(WholeFiles(copy), left);
  *tzx::host::kMemory.abortFlag = 0;
}

// A lone folder at the top, a file beside it: the folders inside it are
// shared.
TEST_F(DosSharedWalk, FoldersBelowALoneFolderAreShared) {
  MakeFolders(dir_ / "src" / "only");
  std::ofstream(dir_ / "src" / "beside") << std::string(100, 'y');
  const Watched run = RunWatched(
      host_, "CopyFile('" + (dir_ / "src").string() + "', '" + (dir_ / "dst").string() + "')",
      dir_ / "dst" / "src" / "only", false);
  EXPECT_EQ(run.failure, "");
  EXPECT_GE(run.walkers, ExpectedWalkers());
  EXPECT_EQ(WholeFiles(dir_ / "dst" / "src"), kFolders * kFiles + 1);
  EXPECT_EQ(WalkerThreads(), 0) << "the walkers end with the command";
}

}  // namespace
}  // namespace tzx::testing
