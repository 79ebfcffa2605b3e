// The operating-system layer: files at 64-bit offsets, special folders, shared
// libraries, local dates, programs watched until they end or are let go,
// folder watches, and huge pages asked for large blocks.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/calendar.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/libraries.h"
#include "platform/memory.h"
#include "platform/processes.h"
#include "platform/special_folders.h"
#include "platform/threads.h"
#include "platform/watches.h"

namespace {

using namespace tzx::platform;
namespace fs = std::filesystem;

class PlatformFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::string(TZX_TEST_TMP) + "/platform_" +
           testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return dir_ + "/" + name; }

  std::string dir_;
};

TEST_F(PlatformFiles, PositionsAndSizesBeyondFourGigabytes) {
  std::string path = Path("sparse");
  NativeFile f = OpenNativeFile(path.c_str(), OpenMode::kWrite);
  ASSERT_NE(f, kNoFile);
  const int64_t far = (int64_t{5} << 30) + 3;  // past every 32-bit offset
  EXPECT_EQ(WriteAt(f, far, "xyz", 3), 3);
  HandleStatus st;
  ASSERT_TRUE(StatusOf(f, &st));
  EXPECT_EQ(st.kind, HandleKind::kPositioned);
  EXPECT_EQ(st.size, far + 3);
  CloseNativeFile(f);

  f = OpenNativeFile(path.c_str(), OpenMode::kRead);
  ASSERT_NE(f, kNoFile);
  char got[8] = {};
  // A read that runs over the end gives what there is.
  EXPECT_EQ(ReadAt(f, far + 1, got, sizeof got), 2);
  EXPECT_EQ(std::string(got, 2), "yz");
  EXPECT_EQ(ReadAt(f, far + 3, got, 1), 0);
  // Sparse bytes before it read as zeros.
  got[0] = 'q';
  EXPECT_EQ(ReadAt(f, far - 1, got, 1), 1);
  EXPECT_EQ(got[0], 0);
  CloseNativeFile(f);
}

TEST_F(PlatformFiles, OpenModesCreateEmptyOrKeep) {
  std::string path = Path("modes");
  EXPECT_EQ(OpenNativeFile(path.c_str(), OpenMode::kRead), kNoFile);

  NativeFile f = OpenNativeFile(path.c_str(), OpenMode::kReadWrite);
  ASSERT_NE(f, kNoFile);
  EXPECT_EQ(WriteAt(f, 0, "a\r\nb", 4), 4);
  CloseNativeFile(f);

  // Kept, byte for byte: no line-end translation.
  f = OpenNativeFile(path.c_str(), OpenMode::kReadWrite);
  HandleStatus st;
  ASSERT_TRUE(StatusOf(f, &st));
  EXPECT_EQ(st.size, 4);
  char got[4];
  EXPECT_EQ(ReadAt(f, 0, got, 4), 4);
  EXPECT_EQ(std::string(got, 4), "a\r\nb");
  CloseNativeFile(f);

  f = OpenNativeFile(path.c_str(), OpenMode::kWrite);
  ASSERT_TRUE(StatusOf(f, &st));
  EXPECT_EQ(st.size, 0);
  CloseNativeFile(f);
}

TEST(PlatformVolumes, LabelsAsTheSystemEscapesThem) {
  EXPECT_EQ(LabelFromDeviceName("DATA"), "DATA");
  EXPECT_EQ(LabelFromDeviceName("\\x20My\\x20Disk\\x20"), " My Disk ");
  EXPECT_EQ(LabelFromDeviceName("a\\x2fb\\x2Fc"), "a/b/c");
  EXPECT_EQ(LabelFromDeviceName("\\x5cx20"), "\\x20") << "an escaped backslash is not read again";
  // What is not a whole escape stays as it is, the end of the name included.
  EXPECT_EQ(LabelFromDeviceName("a\\xg0b"), "a\\xg0b");
  EXPECT_EQ(LabelFromDeviceName("end\\x2"), "end\\x2");
  EXPECT_EQ(LabelFromDeviceName("end\\"), "end\\");
  EXPECT_EQ(LabelFromDeviceName("\\101"), "\\101") << "octal is not this listing's escape";
}

TEST_F(PlatformFiles, DirectoriesAndDevicesAreToldApart) {
  NativeFile f = OpenNativeFile(dir_.c_str(), OpenMode::kRead);
  ASSERT_NE(f, kNoFile);
  HandleStatus st;
  ASSERT_TRUE(StatusOf(f, &st));
  EXPECT_EQ(st.kind, HandleKind::kDirectory);
  CloseNativeFile(f);

  f = OpenNativeFile("/dev/null", OpenMode::kReadWrite);
  ASSERT_NE(f, kNoFile);
  ASSERT_TRUE(StatusOf(f, &st));
  EXPECT_EQ(st.kind, HandleKind::kStream);
  EXPECT_EQ(WriteAll(f, "abc", 3), 3);
  char c;
  EXPECT_EQ(ReadSome(f, &c, 1), 0);
  CloseNativeFile(f);
}

TEST_F(PlatformFiles, SpecialFoldersFollowTheUserDirectories) {
  std::string home = EnvironmentValue("HOME") ? EnvironmentValue("HOME") : "";
  const char* oldConfig = EnvironmentValue("XDG_CONFIG_HOME");
  std::string config = oldConfig ? oldConfig : "";
  ASSERT_TRUE(SetEnvironmentValue("HOME", dir_.c_str()));
  ASSERT_TRUE(SetEnvironmentValue("XDG_CONFIG_HOME", dir_.c_str()));
  {
    NativeFile f = OpenNativeFile(Path("user-dirs.dirs").c_str(), OpenMode::kWrite);
    std::string text =
        "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_MUSIC_DIR=\"relative\"\n";
    WriteAt(f, 0, text.data(), static_cast<int64_t>(text.size()));
    CloseNativeFile(f);
  }
  EXPECT_EQ(SpecialFolderPath(kFolderDesktop), dir_ + "/Schreibtisch");
  // Entries that are not absolute paths, and missing ones, fall back.
  EXPECT_EQ(SpecialFolderPath(kFolderMusic), dir_ + "/Music");
  EXPECT_EQ(SpecialFolderPath(kFolderDownloads), dir_ + "/Downloads");
  EXPECT_EQ(SpecialFolderPath(kFolderHome), dir_);
  EXPECT_EQ(SpecialFolderPath(1), "");

  SetEnvironmentValue("HOME", home.c_str());
  if (oldConfig) {
    SetEnvironmentValue("XDG_CONFIG_HOME", config.c_str());
  } else {
    RemoveEnvironmentValue("XDG_CONFIG_HOME");
  }
}

TEST(PlatformEnvironment, NamesThatCannotBeVariablesFail) {
  EXPECT_FALSE(SetEnvironmentValue("", "x"));
  EXPECT_FALSE(SetEnvironmentValue("A=B", "x"));
  ASSERT_TRUE(SetEnvironmentValue("TZX_PLATFORM_TEST", "v=1"));
  EXPECT_STREQ(EnvironmentValue("TZX_PLATFORM_TEST"), "v=1");
  ASSERT_TRUE(RemoveEnvironmentValue("TZX_PLATFORM_TEST"));
  EXPECT_EQ(EnvironmentValue("TZX_PLATFORM_TEST"), nullptr);
}

TEST(PlatformLibraries, LoadFindAndFail) {
  std::string error;
  EXPECT_FALSE(LoadSharedLibrary(TZX_PLUGIN_DIR "/missing.tzx", &error));
  EXPECT_NE(error.find("missing.tzx"), std::string::npos);

  void* library = LoadSharedLibrary(TZX_PLUGIN_DIR "/frametest.tzx", &error);
  ASSERT_TRUE(library) << error;
  EXPECT_TRUE(SharedLibrarySymbol(library, "tzx_Entry"));
  EXPECT_FALSE(SharedLibrarySymbol(library, "NotExported"));
  UnloadSharedLibrary(library);

  char folder[4096];
  ASSERT_TRUE(ProgramDir(folder, sizeof folder));
  EXPECT_EQ(fs::path(folder), fs::canonical(fs::path(TZX_PLUGIN_DIR) / "tests"));
}

// The ranges of this process's mappings that ask for huge pages.
std::vector<std::pair<uintptr_t, uintptr_t>> HugePageRanges() {
  std::vector<std::pair<uintptr_t, uintptr_t>> ranges;
  std::ifstream maps("/proc/self/smaps");
  std::string line;
  uintptr_t start = 0, end = 0;
  while (std::getline(maps, line)) {
    unsigned long a, b;
    if (std::sscanf(line.c_str(), "%lx-%lx ", &a, &b) == 2 && line.find(':') > line.find(' ')) {
      start = a;
      end = b;
    } else if (line.rfind("VmFlags:", 0) == 0 && line.find(" hg") != std::string::npos) {
      ranges.emplace_back(start, end);
    }
  }
  return ranges;
}

TEST(PlatformMemory, LargePagesOnlyInsideTheBlock) {
  if (!fs::exists("/sys/kernel/mm/transparent_hugepage/enabled")) {
    GTEST_SKIP() << "no huge pages on this system";
  }
  constexpr size_t kHuge = size_t{2} << 20, kMapped = 8 * kHuge;
  void* mapped = mmap(nullptr, kMapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapped, MAP_FAILED);
  const auto base = reinterpret_cast<uintptr_t>(mapped);
  // A block that starts a page past a huge-page boundary and ends a page
  // before one: its first and last partial huge pages stay as they are.
  const uintptr_t first = (base + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t block = first + 4096, blockEnd = first + 4 * kHuge - 4096;
  PreferLargePages(reinterpret_cast<void*>(block), blockEnd - block);
  uintptr_t advised = 0;
  for (const auto& [start, end] : HugePageRanges()) {
    if (end <= base || start >= base + kMapped) continue;
    EXPECT_GE(start, block);
    EXPECT_LE(end, blockEnd);
    EXPECT_EQ(start % kHuge, 0u);
    advised += end - start;
  }
  EXPECT_EQ(advised, 2 * kHuge) << "the whole huge pages inside the block";
  // Under 4 MB nothing is asked, though a whole huge page would fit.
  PreferLargePages(reinterpret_cast<void*>(first + 5 * kHuge), kHuge + kHuge / 2);
  uintptr_t after = 0;
  for (const auto& [start, end] : HugePageRanges()) {
    if (end > base && start < base + kMapped) after += end - start;
  }
  EXPECT_EQ(after, advised);
  munmap(mapped, kMapped);
}

TEST(PlatformCalendar, LocalDatesOfKnownInstants) {
  // 2023-11-14 22:13:20 UTC: the 14th or 15th in every zone.
  CalendarTime t = LocalTime(1700000000);
  EXPECT_EQ(t.year, 2023);
  EXPECT_EQ(t.month, 11);
  EXPECT_TRUE(t.day == 14 || t.day == 15);
  EXPECT_EQ(t.second, 20);
  // Minutes and seconds move with the instant in every zone.
  CalendarTime later = LocalTime(1700000000 + 61);
  EXPECT_EQ(later.second, 21);
  EXPECT_EQ((later.minute - t.minute + 60) % 60, 1);
}

TEST(PlatformProcesses, WaitChildSeesOutputEndAndStop) {
  char sh[] = "/bin/sh", c[] = "-c", script[] = "printf hi; exit 6";
  char* argv[] = {sh, c, script, nullptr};
  ChildProcess child;
  ASSERT_TRUE(StartProcess(argv, nullptr, true, &child));
  std::string out;
  for (;;) {
    int seen = WaitChild(&child, kNoFile, -1);
    if (seen & kChildOutput) {
      char buffer[64];
      int64_t n = ReadSome(child.output, buffer, sizeof buffer);
      if (n <= 0) {
        CloseNativeFile(child.output);
        child.output = kNoFile;
      }
      if (n > 0) out.append(buffer, size_t(n));
    }
    if ((seen & kChildEnded) && child.output == kNoFile) break;
  }
  EXPECT_EQ(out, "hi");
  EXPECT_EQ(WaitProcess(&child), 6);

  // A program that goes on is let go once the stop signal is raised.
  char sleep[] = "/bin/sleep", seconds[] = "5";
  char* forever[] = {sleep, seconds, nullptr};
  child = ChildProcess{};
  ASSERT_TRUE(StartProcess(forever, nullptr, false, &child));
  NativeFile stop = CreateStopSignal();
  ASSERT_NE(stop, kNoFile);
  EXPECT_EQ(WaitChild(&child, stop, 0), 0);
  RaiseStopSignal(stop);
  EXPECT_EQ(WaitChild(&child, stop, -1), kChildStop);
  EXPECT_EQ(WaitChild(&child, stop, -1), kChildStop);  // raised for good
  ReleaseChild(&child);
  CloseStopSignal(stop);
}

struct Seen {
  std::vector<std::string> changes;
};
void Collect(void* context, const char* name, WatchChange change) {
  static const char* const kNames[] = {"added ", "removed ", "modified "};
  static_cast<Seen*>(context)->changes.push_back(kNames[change] + std::string(name));
}

TEST_F(PlatformFiles, WatchesReportEntriesRenamesAndTheFolderGone) {
  DirectoryWatch watch;
  EXPECT_FALSE(OpenDirectoryWatch(Path("missing").c_str(), &watch));
  fs::create_directories(Path("w/sub"));
  ASSERT_TRUE(OpenDirectoryWatch(Path("w").c_str(), &watch));
  char buffer[4096];
  Seen seen;
  EXPECT_EQ(WaitDirectoryChanges(&watch, kNoFile, 0, buffer, sizeof buffer, Collect, &seen),
            kWatchTimeout);
  fs::create_directories(Path("w/new"));
  fs::rename(Path("w/new"), Path("w/renamed"));
  // Entries of subfolders are not the folder's.
  fs::create_directories(Path("w/sub/deeper"));
  EXPECT_EQ(WaitDirectoryChanges(&watch, kNoFile, -1, buffer, sizeof buffer, Collect, &seen),
            kWatchChanges);
  EXPECT_EQ(seen.changes, (std::vector<std::string>{"added new", "removed new", "added renamed"}));

  NativeFile stop = CreateStopSignal();
  RaiseStopSignal(stop);
  EXPECT_EQ(WaitDirectoryChanges(&watch, stop, -1, buffer, sizeof buffer, Collect, &seen),
            kWatchStopped);
  CloseStopSignal(stop);

  fs::remove_all(Path("w"));
  seen.changes.clear();
  EXPECT_EQ(WaitDirectoryChanges(&watch, kNoFile, -1, buffer, sizeof buffer, Collect, &seen),
            kWatchGone);
  CloseDirectoryWatch(&watch);
}

}  // namespace
