// dos's copy, delete and listing commands against their peers, through a real
// tessera host:
//   CopyFile of a 1 GB file        vs cp               (goal: 0.9 of its speed)
//   CopyFile of 20,000 small files vs cp -r            (goal: its speed)
//   DeleteFile of that tree        vs rm -rf           (goal: its speed)
//   ReadDirectory of 100,000 names vs readdir into Lua tables (goal: 0.8)
// The data lives in a temporary folder on the disk the build is on
// (TESSERA_BENCH_DIR chooses another).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "compare.h"
#include "script_host.h"
#include "tessera/host.h"

namespace {

namespace fs = std::filesystem;

struct Scratch {
  std::string folder;
  Scratch() {
    const char* base = std::getenv("TESSERA_BENCH_DIR");
    std::string pattern = std::string(base && *base ? base : "/var/tmp") + "/dos_transfer.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    folder = mkdtemp(name.data());
  }
  ~Scratch() { fs::remove_all(folder); }
};

const std::string& Folder() {
  static Scratch scratch;
  return scratch.folder;
}

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"dos"};
    auto h = tzx::bench::StartHost(options);
    return h.release();
  }();
  return *host;
}

void Lua(const std::string& code) {
  tzx::bench::RunOrExit(Host(), code);
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

void BM_CopyFile1GBVsCp(benchmark::State& state) {
  const std::string src = Folder() + "/big.bin";
  if (!fs::exists(src)) {
    Shell("head -c 1073741824 /dev/urandom > '" + src + "'");
  }
  fs::create_directories(Folder() + "/ours");
  fs::create_directories(Folder() + "/peer");
  const std::string ours = Folder() + "/ours/big.bin", peer = Folder() + "/peer/big.bin";
  tzx::bench::CompareInTurn(
      state,
      [&] {
        fs::remove(ours);
        Lua("CopyFile([[" + src + "]], [[" + Folder() + "/ours]])");
      },
      [&] {
        fs::remove(peer);
        Shell("cp '" + src + "' '" + Folder() + "/peer/'");
      },
      tzx::bench::Row{"CopyFile 1 GB (command)", "cp", 0.9,
                      "coreutils cp process on the same file"});
  if (fs::file_size(ours) != fs::file_size(src)) std::exit(1);
  fs::remove(ours);
  fs::remove(peer);
}
BENCHMARK(BM_CopyFile1GBVsCp)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// 100 folders of 200 files of 100 bytes.
const std::string& Tree() {
  static const std::string tree = [] {
    std::string root = Folder() + "/tree";
    std::string line(100, 'x');
    for (int d = 0; d < 100; ++d) {
      std::string dir = root + "/d" + std::to_string(d);
      fs::create_directories(dir);
      for (int f = 0; f < 200; ++f) {
        FILE* out = std::fopen((dir + "/f" + std::to_string(f) + ".txt").c_str(), "wb");
        std::fwrite(line.data(), 1, line.size(), out);
        std::fclose(out);
      }
    }
    return root;
  }();
  return tree;
}

void BM_CopyTree20kVsCpR(benchmark::State& state) {
  Tree();
  sync();
  int round = 0;
  tzx::bench::CompareInTurn(
      state,
      [&] {
        Lua("CopyFile([[" + Tree() + "]], [[" + Folder() + "/tree_ours]], {newname = 'c" +
            std::to_string(round) + "'})");
      },
      [&] {
        Shell("cp -r '" + Tree() + "' '" + Folder() + "/tree_peer/c" + std::to_string(round++) +
              "'");
      },
      tzx::bench::Row{"CopyFile 20,000 files (command)", "cp -r", 1.0,
                      "coreutils cp -r process on the same tree"});
  fs::remove_all(Folder() + "/tree_ours");
  fs::remove_all(Folder() + "/tree_peer");
}
BENCHMARK(BM_CopyTree20kVsCpR)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->Setup([](const benchmark::State&) { fs::create_directories(Folder() + "/tree_peer"); });

void BM_DeleteTree20kVsRmRf(benchmark::State& state) {
  // A copy for each call of either side (one warm-up each, then three rounds).
  constexpr int kCopies = 4;
  for (int i = 0; i < kCopies; ++i) {
    Shell("cp -r '" + Tree() + "' '" + Folder() + "/del_ours" + std::to_string(i) + "'");
    Shell("cp -r '" + Tree() + "' '" + Folder() + "/del_peer" + std::to_string(i) + "'");
  }
  // The copies' pending writes out first: they would slow whichever side runs
  // first (ours) while the disk catches up.
  sync();
  int ours = 0, peer = 0;
  tzx::bench::CompareInTurn(
      state,
      [&] { Lua("DeleteFile([[" + Folder() + "/del_ours" + std::to_string(ours++) + "]])"); },
      [&] { Shell("rm -rf '" + Folder() + "/del_peer" + std::to_string(peer++) + "'"); },
      tzx::bench::Row{"DeleteFile 20,000 files (command)", "rm -rf", 1.0,
                      "coreutils rm -rf process on a copy of the same tree"});
  if (fs::exists(Folder() + "/del_ours0")) std::exit(1);
}
BENCHMARK(BM_DeleteTree20kVsRmRf)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The peer of ReadDirectory, called from Lua the same way: readdir, the type
// from the listing (fstatat where it does not tell, or for a link, to see
// whether it leads to a folder), and the names into the two tables at keys 0
// to n - 1 with "" at n; returns both counts.
int LuaReaddir(lua_State* L) {
  DIR* dir = opendir(lua_tostring(L, 1));
  int counts[2] = {0, 0};
  struct stat st;
  while (dirent* e = readdir(dir)) {
    const char* n = e->d_name;
    if (n[0] == '.' && (!n[1] || (n[1] == '.' && !n[2]))) continue;
    bool folder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      if (fstatat(dirfd(dir), n, &st, 0) != 0) continue;
      folder = S_ISDIR(st.st_mode);
    }
    lua_pushstring(L, n);
    lua_rawseti(L, folder ? 3 : 2, counts[folder]++);
  }
  closedir(dir);
  for (int i = 0; i < 2; ++i) {
    lua_pushstring(L, "");
    lua_rawseti(L, 2 + i, counts[i]);
  }
  lua_pushnumber(L, counts[0]);
  lua_pushnumber(L, counts[1]);
  return 2;
}

void BM_ReadDirectory100kVsReaddir(benchmark::State& state) {
  const std::string folder = Folder() + "/many";
  if (!fs::exists(folder)) {
    fs::create_directories(folder);
    for (int i = 0; i < 100000; ++i) {
      int fd = open((folder + "/entry" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644);
      close(fd);
    }
  }
  Lua("PATH = [[" + folder + "]]");
  lua_pushcfunction(Host().L(), LuaReaddir);
  lua_setglobal(Host().L(), "readdir");
  tzx::bench::CompareInTurn(
      state, [] { Lua("local n = ReadDirectory(PATH, {}, {}, 0) assert(n == 100000)"); },
      [] { Lua("local n = readdir(PATH, {}, {}) assert(n == 100000)"); },
      tzx::bench::Row{"ReadDirectory 100,000 names (command)", "readdir", 0.8,
                      "readdir with d_type (fstatat where it says nothing or for a link) "
                      "into the same two Lua tables, called from Lua"});
}
BENCHMARK(BM_ReadDirectory100kVsReaddir)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
