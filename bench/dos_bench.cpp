// dos file commands against their peers, on one text file of more than 100 MB
// that the benchmark writes to a temporary folder:
//   Eof+ReadLine and FileLines vs Lua 5.1's io.lines     (goal: not slower)
//   CRC32                    vs zlib's crc32             (goal: as fast, same value)
//   MD5                      vs OpenSSL's EVP in process, and coreutils md5sum
//                                                        (goal: 0.9 of its speed)
//   SHA1                     vs OpenSSL's EVP in process, and coreutils sha1sum
//                                                        (goal: its speed)
//   FileToString             vs Lua's io.read("*a")
// Our commands run in a real tessera host from Lua loops, the Lua peers in the
// same host, OpenSSL in this process, md5sum and sha1sum as processes on the
// same file. Each side runs
// five times, interleaved, and the best time counts. The speed ratio printed
// is peer time / our time: above 1 means ours is faster.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#ifdef TZX_HAVE_OPENSSL
#include <openssl/evp.h>
#endif
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
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

constexpr int kRuns = 5;

// The file: lines of 10 to 109 characters, so that the line machinery rather
// than the copying dominates; a little over 100 MB. Each line begins with its
// number, so that no two are alike, as in most text: the interpreter keeps one
// copy of equal strings, and a file of few distinct lines would be read into
// strings it already holds, with none of the allocation and collection that
// reading real text costs both sides.
struct TextFile {
  std::string folder;
  std::string path;
  long lines = 0;
  long long bytes = 0;

  TextFile() {
    char pattern[] = "/tmp/dos_bench.XXXXXX";
    folder = mkdtemp(pattern);
    path = folder + "/lines.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    std::string block;
    for (long i = 0; bytes < 105'000'000; ++i, ++lines) {
      const int length = static_cast<int>(i * 7919 % 100) + 10;
      const size_t start = block.size();
      block += std::to_string(i);
      for (int k = static_cast<int>(block.size() - start); k < length; ++k) {
        block.push_back(static_cast<char>('a' + (i + k) % 26));
      }
      block.push_back('\n');
      bytes += static_cast<long long>(block.size() - start);
      if (block.size() > (1 << 20)) {
        std::fwrite(block.data(), 1, block.size(), f);
        block.clear();
      }
    }
    std::fwrite(block.data(), 1, block.size(), f);
    std::fclose(f);
  }
  ~TextFile() { std::filesystem::remove_all(folder); }
};

const TextFile& File() {
  static TextFile file;
  return file;
}

tessera::Host& Host() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"dos"};
    auto h = tzx::bench::StartHost(options);
    std::string setup = "PATH = [[" + File().path + "]] LINES = " + std::to_string(File().lines);
    tzx::bench::RunOrExit(*h, setup);
    return h.release();
  }();
  return *host;
}

void RunLua(const std::string& code) {
  tzx::bench::RunOrExit(Host(), code);
}

// Best of kRuns for each side, interleaved so that both meet the same machine.
void Compare(benchmark::State& state, const tzx::bench::Row& row, const std::function<void()>& ours,
             const std::function<void()>& theirs) {
  File();
  Host();
  tzx::bench::BestOfInTurn(state, kRuns, ours, theirs, row);
}

std::string LuaResult(const std::string& expression) {
  RunLua("RESULT = tostring(" + expression + ")");
  lua_State* L = Host().L();
  lua_getglobal(L, "RESULT");
  std::string result = lua_tostring(L, -1);
  lua_pop(L, 1);
  return result;
}

std::string Command(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[256];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  pclose(pipe);
  return output.substr(0, output.find(' '));
}

unsigned long ZlibCrc(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY);
  std::vector<unsigned char> buffer(65536);
  unsigned long crc = crc32(0L, Z_NULL, 0);
  ssize_t n;
  while ((n = read(fd, buffer.data(), buffer.size())) > 0) crc = crc32(crc, buffer.data(), n);
  close(fd);
  return crc;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s: results differ\n", what);
    std::exit(1);
  }
}

// The usual loop: an Eof test and a ReadLine per line, two commands against
// io.lines' one iterator call. io.lines reads through stdio, which takes a
// lock on every call once the process has a second thread. tessera always has
// one (its window thread), and so does this process in a full run, where the
// display benchmarks have started windows before this one; run alone, the
// process has one thread and the peer goes without the locks.
void BM_ReadLineVsIoLines(benchmark::State& state) {
  Compare(
      state,
      {"ReadLine+Eof loop over 105 MB (command)", "io.lines", 1.0,
       "Lua 5.1 for l in io.lines(path) over the same file, counting lines"},
      [] {
        RunLua(
            "local ReadLine, Eof = ReadLine, Eof "
            "local f = OpenFile(nil, PATH) local n = 0 "
            "while Eof(f) == 0 do ReadLine(f) n = n + 1 end "
            "CloseFile(f) assert(n == LINES)");
      },
      [] { RunLua("local n = 0 for l in io.lines(PATH) do n = n + 1 end assert(n == LINES)"); });
}

void BM_FileLinesVsIoLines(benchmark::State& state) {
  Compare(
      state,
      {"FileLines loop over 105 MB (command)", "io.lines", 1.0,
       "Lua 5.1 for l in io.lines(path) over the same file, counting lines"},
      [] { RunLua("local n = 0 for l in FileLines(PATH) do n = n + 1 end assert(n == LINES)"); },
      [] { RunLua("local n = 0 for l in io.lines(PATH) do n = n + 1 end assert(n == LINES)"); });
}

void BM_Crc32VsZlib(benchmark::State& state) {
  Check(std::stoul(LuaResult("CRC32(PATH)")) == ZlibCrc(File().path), "CRC32");
  Compare(
      state,
      {"CRC32 of 105 MB (command)", "zlib", 1.0,
       "zlib crc32() over 64 KB read() blocks of the same file, in process"},
      [] { RunLua("CRC32(PATH)"); }, [] { benchmark::DoNotOptimize(ZlibCrc(File().path)); });
}

#ifdef TZX_HAVE_OPENSSL
// The digest of the file through OpenSSL's EVP interface, in this process,
// read in blocks of 1 MB: its fastest code for this machine (SHA extensions
// where the processor has them).
std::string EvpDigest(const std::string& path, const EVP_MD* md) {
  int fd = open(path.c_str(), O_RDONLY);
  static std::vector<unsigned char> buffer(1 << 20);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  EVP_DigestInit_ex(ctx, md, nullptr);
  ssize_t n;
  while ((n = read(fd, buffer.data(), buffer.size())) > 0) EVP_DigestUpdate(ctx, buffer.data(), n);
  close(fd);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx, digest, &length);
  EVP_MD_CTX_free(ctx);
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

void BM_Md5VsOpenssl(benchmark::State& state) {
  Check(LuaResult("MD5(PATH)") == EvpDigest(File().path, EVP_md5()), "MD5");
  Compare(
      state,
      {"MD5 of 105 MB (command) vs OpenSSL", "OpenSSL", 0.9,
       "EVP_DigestUpdate(EVP_md5()) over 1 MB read() blocks of the same file, in process"},
      [] { RunLua("MD5(PATH)"); },
      [] { benchmark::DoNotOptimize(EvpDigest(File().path, EVP_md5())); });
}

void BM_Sha1VsOpenssl(benchmark::State& state) {
  Check(LuaResult("SHA1(PATH)") == EvpDigest(File().path, EVP_sha1()), "SHA1");
  Compare(
      state,
      {"SHA1 of 105 MB (command) vs OpenSSL", "OpenSSL", 1.0,
       "EVP_DigestUpdate(EVP_sha1()) over 1 MB read() blocks of the same file, in process"},
      [] { RunLua("SHA1(PATH)"); },
      [] { benchmark::DoNotOptimize(EvpDigest(File().path, EVP_sha1())); });
}
BENCHMARK(BM_Md5VsOpenssl)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha1VsOpenssl)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

void BM_Md5VsMd5sum(benchmark::State& state) {
  std::string command = "md5sum '" + File().path + "'";
  Check(LuaResult("MD5(PATH)") == Command(command), "MD5");
  Compare(
      state,
      {"MD5 of 105 MB (command) vs md5sum", "md5sum", 0.9,
       "coreutils md5sum process on the same file (the process level)"},
      [] { RunLua("MD5(PATH)"); }, [&] { benchmark::DoNotOptimize(Command(command)); });
}

void BM_Sha1VsSha1sum(benchmark::State& state) {
  std::string command = "sha1sum '" + File().path + "'";
  Check(LuaResult("SHA1(PATH)") == Command(command), "SHA1");
  Compare(
      state,
      {"SHA1 of 105 MB (command) vs sha1sum", "sha1sum", 1.0,
       "coreutils sha1sum process on the same file (the process level)"},
      [] { RunLua("SHA1(PATH)"); }, [&] { benchmark::DoNotOptimize(Command(command)); });
}

void BM_FileToStringVsIoRead(benchmark::State& state) {
  Compare(
      state,
      {"FileToString of 105 MB (command)", "io.read", 1.0,
       "Lua 5.1 io.open(path, 'rb'):read('*a') of the same file"},
      [] { RunLua("local s, n = FileToString(PATH) assert(n == #s) s = nil collectgarbage()"); },
      [] {
        RunLua(
            "local f = io.open(PATH, 'rb') local s = f:read('*a') f:close() "
            "s = nil collectgarbage()");
      });
}

BENCHMARK(BM_ReadLineVsIoLines)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileLinesVsIoLines)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32VsZlib)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Md5VsMd5sum)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha1VsSha1sum)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileToStringVsIoRead)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
