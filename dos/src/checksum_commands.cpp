// CRC32, MD5 and SHA1 of whole files.
#include "checksums.h"
#include "commands.h"
#include "read_ahead.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// Large enough that the read calls cost little next to the hashing, small
// enough that a chunk is still in cache when it is hashed.
constexpr size_t kChunkSize = 1 << 20;
// From this length on, a worker reads the next chunk while one is hashed.
constexpr int64_t kReadAheadFrom = 16 << 20;

// Streams the file of argument 1 through `feed(chunk, n)` in unbuffered
// chunks. `extra` bytes more are allocated with the chunk buffers and handed
// to `prepare` first. A read that stops before the end of the file is an
// error, not a checksum of part of the file.
template <class Prepare, class Feed>
int ChecksumFile(lua_State*& L, size_t extra, Prepare prepare, Feed feed) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* name = Args().fileName(L, 1, 0, 0);
  if (!name[0]) return kErrRange;
  OpenOptions options;
  Files().initOpenOptions(&options);
  FileHandle* h = Files().openFile(name, kAccessRead | kAccessDos, &options, nullptr);
  if (!h) return ErrorWithString(kErrOpenRead, name);
  const bool ahead = Files().length(h) >= kReadAheadFrom;
  const size_t chunks = ahead ? 2 : 1;
  auto* buffer = static_cast<uint8_t*>(HostAlloc(chunks * kChunkSize + extra, false));
  if (!buffer) {
    Stream().closeFile(h);
    return kErrNoMemory;
  }
  prepare(buffer + chunks * kChunkSize);
  uint8_t* const buffers[2] = {buffer, buffer + kChunkSize};
  auto consume = [](void* context, const uint8_t* p, int64_t n) {
    (*static_cast<Feed*>(context))(p, n);
  };
  if (!ahead || !ReadAheadThrough(h, buffers, kChunkSize, consume, &feed)) {
    int64_t n;
    while ((n = Files().readUnbuffered(h, buffer, kChunkSize)) > 0) feed(buffer, n);
  }
  int rc = Stream().eof(h) ? 0 : kErrRead;
  Stream().closeFile(h);
  HostFree(buffer);
  return rc;
}

template <class Hash>
int PushDigest(lua_State* L) {
  Hash hash;
  int rc = ChecksumFile(
      L, 0, [](uint8_t*) {}, [&](const uint8_t* p, int64_t n) { hash.Update(p, n); });
  if (rc) return rc;
  uint8_t digest[Hash::kDigestSize];
  hash.Final(digest);
  char hex[2 * Hash::kDigestSize + 1];
  HexDigits(digest, Hash::kDigestSize, hex);
  Lua().pushstring(L, hex);
  return 1;
}

}  // namespace

// CRC32(filename)
int CRC32(lua_State* L) {
  Crc32Tables* tables = nullptr;
  uint32_t crc = 0xFFFFFFFFu;
  int rc = ChecksumFile(
      L, sizeof(Crc32Tables),
      [&](uint8_t* room) {
        tables = reinterpret_cast<Crc32Tables*>(room);
        BuildCrc32Tables(Memory().crcTable, tables);
      },
      [&](const uint8_t* p, int64_t n) { crc = Crc32Update(*tables, crc, p, n); });
  if (rc) return rc;
  Lua().pushnumber(L, static_cast<double>(~crc));
  return 1;
}

// MD5(filename)
int MD5(lua_State* L) {
  return PushDigest<Md5>(L);
}

// SHA1(filename)
int SHA1(lua_State* L) {
  return PushDigest<Sha1>(L);
}

}  // namespace tzx::dos
