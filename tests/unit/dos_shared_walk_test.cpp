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

TEST(DosSharedWalk, AbortFlagStopsEveryWorker) {
  tessera::Host host(TestHostOptions({"dos"}, {}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  const fs::path dir = fs::path(TZX_TEST_TMP) / "dos_shared_walk";
  fs::remove_all(dir);
  const std::string line(100, 'x');
  for (int d = 0; d < kFolders; ++d) {
    const fs::path folder = dir / "src" / ("d" + std::to_string(d));
    fs::create_directories(folder);
    for (int f = 0; f < kFiles; ++f) std::ofstream(folder / ("f" + std::to_string(f))) << line;
  }
  const fs::path copy = dir / "dst" / "src";

  // The flag rises once the first file of any folder is there.
  std::atomic<bool> finished{false};
  std::thread raiser([&] {
    while (!finished && !AnyFileIn(copy))
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    *tzx::host::kMemory.abortFlag = 1;
  });
  const std::string failure =
      RunCode(host, "CopyFile('" + (dir / "src").string() + "', '" + (dir / "dst").string() + "')");
  finished = true;
  raiser.join();
  // Stopped by the host, as a walk on the script thread is: not a failure.
  EXPECT_EQ(failure, "");
  const int left = WholeFiles(copy);
  EXPECT_LT(left, kFolders * kFiles) << "the copy went on to its end";
  // No worker writes on after the command.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(WholeFiles(copy), left);
  *tzx::host::kMemory.abortFlag = 0;

  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tzx::testing
