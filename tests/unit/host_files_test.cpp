// The host's file services on files that are not regular disk files (pipes and
// devices opened by name are read and written in sequence), on the buffer a
// reader peeks into, and on listings.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "services.h"
#include "tzx/errors.h"

namespace {

using namespace tzx;
using namespace tzx::host;

FileHandle* Open(const std::string& name, int access) {
  OpenOptions options;
  kFileSystem.initOpenOptions(&options);
  return kFileSystem.openFile(name.c_str(), access, &options, nullptr);
}

class FifoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(TZX_TEST_TMP);
    path_ = std::string(TZX_TEST_TMP) + "/host_fifo_" +
            testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove(path_);
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  }
  void TearDown() override {
    if (writer_.joinable()) writer_.join();
    std::filesystem::remove(path_);
  }
  // A writer on the other end of the pipe, which closes it after `text`.
  void Write(const std::string& text) {
    writer_ = std::thread([this, text] {
      int fd = open(path_.c_str(), O_WRONLY);
      if (fd < 0) return;
      ssize_t ignored = write(fd, text.data(), text.size());
      (void)ignored;
      close(fd);
    });
  }

  std::string path_;
  std::thread writer_;
};

TEST_F(FifoTest, APipeIsReadToItsEnd) {
  Write("line one\nline two");
  FileHandle* h = Open(path_, kAccessRead);
  ASSERT_TRUE(h);
  std::string got;
  char buffer[7];
  int64_t n;
  while ((n = kStreamIo.readBytes(h, buffer, sizeof buffer)) > 0) got.append(buffer, n);
  EXPECT_EQ(got, "line one\nline two");
  EXPECT_TRUE(kStreamIo.eof(h));
  EXPECT_EQ(kStreamIo.getc(h), -1);
  // A pipe has neither positions nor a length.
  EXPECT_EQ(kFileSystem.seek(h, 0, kSeekBeginning), -1);
  EXPECT_EQ(kFileSystem.length(h), -1);
  kStreamIo.closeFile(h);
}

// Bytes a buffered read pulled out of the pipe are still there for an
// unbuffered read.
TEST_F(FifoTest, UnbufferedReadsTakeWhatTheBufferHolds) {
  Write("abcdef");
  FileHandle* h = Open(path_, kAccessRead);
  ASSERT_TRUE(h);
  EXPECT_EQ(kStreamIo.getc(h), 'a');
  char buffer[16] = {};
  std::string rest;
  int64_t n;
  while ((n = kFileSystem.readUnbuffered(h, buffer, sizeof buffer)) > 0) rest.append(buffer, n);
  EXPECT_EQ(rest, "bcdef");
  kStreamIo.closeFile(h);
}

TEST(HostDevices, CharacterDevicesAreStreams) {
  FileHandle* zero = Open("/dev/zero", kAccessRead);
  ASSERT_TRUE(zero);
  char buffer[100];
  std::memset(buffer, 1, sizeof buffer);
  EXPECT_EQ(kStreamIo.readBytes(zero, buffer, sizeof buffer), 100);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[99], 0);
  EXPECT_FALSE(kStreamIo.eof(zero));
  kStreamIo.closeFile(zero);

  FileHandle* null = Open("/dev/null", kAccessRead);
  ASSERT_TRUE(null);
  EXPECT_TRUE(kStreamIo.eof(null));
  EXPECT_EQ(kStreamIo.getc(null), -1);
  kStreamIo.closeFile(null);

  // Writes that the device refuses are reported, buffered or not.
  FileHandle* full = Open("/dev/full", kAccessWrite);
  ASSERT_TRUE(full);
  EXPECT_EQ(kStreamIo.writeBytes(full, "x", 1), 1);
  EXPECT_EQ(kStreamIo.flush(full), kErrWrite);
  EXPECT_EQ(kFileSystem.writeUnbuffered(full, "x", 1), 0);
  kStreamIo.closeFile(full);
}

// Peeking shows the buffered bytes without moving; skipping moves within them
// and never past them; past the buffer peeking reads ahead, and at the end it
// finds nothing.
TEST_F(FifoTest, PeekShowsTheBufferWithoutMoving) {
  const std::string file = path_ + ".txt";
  std::string text(70000, 'a');
  text[65536] = 'b';
  FILE* f = std::fopen(file.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  FileHandle* h = Open(file, kAccessRead);
  ASSERT_TRUE(h);
  const char* bytes = nullptr;
  EXPECT_EQ(kStreamIo.peek(h, &bytes), 65536);
  EXPECT_EQ(kFileSystem.seek(h, 0, kSeekCurrent), 0);
  kStreamIo.skip(h, 10);
  EXPECT_EQ(kFileSystem.seek(h, 0, kSeekCurrent), 10);
  EXPECT_EQ(kStreamIo.peek(h, &bytes), 65536 - 10);
  kStreamIo.skip(h, 1 << 20);
  EXPECT_EQ(kFileSystem.seek(h, 0, kSeekCurrent), 65536);
  EXPECT_EQ(kStreamIo.peek(h, &bytes), 70000 - 65536);
  EXPECT_EQ(bytes[0], 'b');
  EXPECT_EQ(kStreamIo.getc(h), 'b');
  ASSERT_EQ(kFileSystem.seek(h, 0, kSeekEnd), 70000);
  EXPECT_EQ(kStreamIo.peek(h, &bytes), 0);
  EXPECT_EQ(bytes, nullptr);
  kStreamIo.closeFile(h);
  std::remove(file.c_str());
}

// A listing by names gives what the names-only entries give: each name with
// its length and whether it is a directory, a link to a folder counting as
// one; the names of a long listing stay right across the reader's refills.
TEST(HostListing, NamesMatchTheEntries) {
  const std::string folder = std::string(TZX_TEST_TMP) + "/host_listing_names";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder + "/sub");
  for (int i = 0; i < 3000; ++i) std::ofstream(folder + "/file" + std::to_string(i));
  std::filesystem::create_directory_symlink(folder + "/sub", folder + "/link_to_sub");
  std::ofstream(folder + "/" + std::string(255, 'n'));

  auto list = [&](bool byName) {
    std::map<std::string, int> found;
    OpenOptions options;
    kFileSystem.initOpenOptions(&options);
    DirHandle* h = kFileSystem.openDir(folder.c_str(), 0, &options, nullptr);
    EXPECT_TRUE(h);
    DirEntryRecord* record = nullptr;
    EXPECT_EQ(kFileSystem.prepareEntry(h, &record), 0);
    ExamineInfo info;
    int isDirectory = -1;
    size_t length = 0;
    for (;;) {
      if (byName) {
        const char* name = kFileSystem.nextName(h, &length, &isDirectory);
        if (!name) break;
        EXPECT_EQ(length, std::strlen(name));
        found[std::string(name, length)] = isDirectory;
      } else {
        if (!kFileSystem.nextEntry(h, record, &info, kEntryNamesOnly, &isDirectory)) break;
        found[info.name] = isDirectory;
      }
    }
    kFileSystem.freeEntry(record);
    kStreamIo.closeDir(h);
    return found;
  };
  const std::map<std::string, int> byName = list(true);
  EXPECT_EQ(byName.size(), 3003u);
  EXPECT_EQ(byName.at("sub"), 1);
  EXPECT_EQ(byName.at("link_to_sub"), 1);
  EXPECT_EQ(byName.at("file2999"), 0);
  EXPECT_EQ(byName.at(std::string(255, 'n')), 0);
  EXPECT_EQ(byName, list(false));
  std::filesystem::remove_all(folder);
}

}  // namespace
