// CopyFile, MoveFile and DeleteFile with "async": refused without the async
// library, handed to it when it is there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/test_host.h"

namespace tzx::testing {
namespace {

TEST(DosAsync, AbsentLibraryIs1685) {
  tessera::Host host(TestHostOptions({"dos"}, {"object"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  const std::string dir = std::string(TZX_TEST_TMP) + "/dos_async";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/a.txt") << "a";
  ExpectAbsent(host, "CopyFile('" + dir + "/a.txt', '" + dir + "/out', {async = 1})", "async");
  ExpectAbsent(host, "MoveFile('" + dir + "/a.txt', '" + dir + "/out', {async = 1})", "async");
  ExpectAbsent(host, "DeleteFile('" + dir + "/a.txt', {async = 1})", "async");
  // Nothing was done.
  EXPECT_TRUE(std::filesystem::exists(dir + "/a.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/out"));
  // Without "async" the same copy runs.
  EXPECT_EQ(RunCode(host, "CopyFile('" + dir + "/a.txt', '" + dir + "/out')"), "");
  EXPECT_TRUE(std::filesystem::exists(dir + "/out/a.txt"));
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
  std::filesystem::remove_all(dir);
}

TEST(DosAsync, DatesNeedTheTimeLibrary) {
  tessera::Host host(TestHostOptions({"dos"}, {"object"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  const std::string file = std::string(TZX_TEST_TMP) + "/dos_async_time.txt";
  std::ofstream(file) << "a";
  ExpectAbsent(host, "SetFileAttributes('" + file + "', {time = '01-Jan-2020 00:00:00'})", "time");
  EXPECT_EQ(RunCode(host, "SetFileAttributes('" + file + "', {flags = FILEATTR_READ_USR})"), "");
  host.Stop();
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace tzx::testing
