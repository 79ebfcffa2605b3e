// CRC-32, MD5 and SHA-1 against the published test vectors, and the fast
// paths against the plain definitions.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dos/src/checksums.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

template <class Hash, class... Options>
std::string Digest(const std::string& data, Options... options) {
  Hash hash(options...);
  hash.Update(data.data(), data.size());
  uint8_t digest[Hash::kDigestSize];
  hash.Final(digest);
  char hex[2 * Hash::kDigestSize + 1];
  HexDigits(digest, Hash::kDigestSize, hex);
  return hex;
}

TEST(DosMd5, Rfc1321Suite) {
  EXPECT_EQ(Digest<Md5>(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Digest<Md5>("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Digest<Md5>("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Digest<Md5>("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Digest<Md5>("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Digest<Md5>("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  std::string digits;
  for (int i = 0; i < 8; ++i) digits += "1234567890";
  EXPECT_EQ(Digest<Md5>(digits), "57edf4a22be3c955ac49da2e2107b67a");
}

// Both the portable rounds and, where the processor has them, the SHA
// instructions.
TEST(DosSha1, Fips180Vectors) {
  for (bool extensions : {false, true}) {
    SCOPED_TRACE(extensions);
    EXPECT_EQ(Digest<Sha1>("", extensions), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Digest<Sha1>("abc", extensions), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Digest<Sha1>("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", extensions),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Digest<Sha1>(std::string(1000000, 'a'), extensions),
              "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  }
}

// Padding is the error-prone part: lengths around one block, where the length
// field does or does not fit after the 0x80 byte.
TEST(DosHashes, BlockBoundaryLengths) {
  EXPECT_EQ(Digest<Md5>(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(Digest<Md5>(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(Digest<Md5>(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
  for (bool extensions : {false, true}) {
    EXPECT_EQ(Digest<Sha1>(std::string(55, 'a'), extensions),
              "c1c8bbdc22796e28c0e15163d20899b65621d65a");
    EXPECT_EQ(Digest<Sha1>(std::string(56, 'a'), extensions),
              "c2db330f6083854c99d4b5bfb6e8f29f201be699");
    EXPECT_EQ(Digest<Sha1>(std::string(64, 'a'), extensions),
              "0098ba824b5c16427bd7a1122a5a442a25ec644d");
  }
}

// However the input is cut into chunks, the digest is that of the whole.
TEST(DosHashes, ChunkingDoesNotChangeTheDigest) {
  std::mt19937 rng(7);
  std::string data(5000, 0);
  for (char& c : data) c = static_cast<char>(rng());
  std::string md5 = Digest<Md5>(data), sha1 = Digest<Sha1>(data, false);
  for (int trial = 0; trial < 20; ++trial) {
    Md5 m;
    Sha1 s(trial % 2 == 0);
    for (size_t at = 0; at < data.size();) {
      size_t n = std::min<size_t>(rng() % 150, data.size() - at);
      m.Update(data.data() + at, n);
      s.Update(data.data() + at, n);
      at += n;
    }
    uint8_t dm[16], ds[20];
    m.Final(dm);
    s.Final(ds);
    char hm[33], hs[41];
    HexDigits(dm, 16, hm);
    HexDigits(ds, 20, hs);
    EXPECT_EQ(hm, md5);
    EXPECT_EQ(hs, sha1);
  }
}

uint32_t ByteLoopCrc(const uint32_t* table, const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) crc = (crc >> 8) ^ table[(crc ^ c) & 0xFF];
  return ~crc;
}

uint32_t TableCrc(const uint32_t* table, const std::string& data, size_t offset = 0) {
  Crc32Tables tables;
  BuildCrc32Tables(table, &tables);
  return ~Crc32Update(tables, 0xFFFFFFFFu, data.data() + offset, data.size() - offset);
}

TEST(DosCrc32, CheckValueWithTheHostTable) {
  const uint32_t* table = Memory().crcTable;
  EXPECT_EQ(TableCrc(table, "123456789"), 0xCBF43926u);
  EXPECT_EQ(TableCrc(table, ""), 0u);
  EXPECT_EQ(TableCrc(table, std::string(1000000, 'a')), 3693461436u);
}

// Every fast path gives the byte loop's result for every length and
// alignment, and a run may be split anywhere.
TEST(DosCrc32, FastPathsMatchTheByteLoop) {
  const uint32_t* table = Memory().crcTable;
  Crc32Tables folding, slicing;
  BuildCrc32Tables(table, &folding);
  ASSERT_TRUE(folding.sliced);
  slicing = folding;
  slicing.folding = false;
  std::mt19937 rng(3);
  std::string data(2000, 0);
  for (char& c : data) c = static_cast<char>(rng());
  auto crc = [](const Crc32Tables& t, const std::string& s) {
    return ~Crc32Update(t, 0xFFFFFFFFu, s.data(), s.size());
  };
  for (size_t length = 0; length <= 700; length += length < 200 ? 1 : 37) {
    for (size_t offset = 0; offset < 16; offset += 3) {
      std::string part = data.substr(offset, length);
      uint32_t expected = ByteLoopCrc(table, part);
      ASSERT_EQ(crc(slicing, part), expected) << length << " " << offset;
      ASSERT_EQ(crc(folding, part), expected) << length << " " << offset;
    }
  }
  for (const Crc32Tables* t : {&folding, &slicing}) {
    uint32_t c = 0xFFFFFFFFu;
    c = Crc32Update(*t, c, data.data(), 37);
    c = Crc32Update(*t, c, data.data() + 37, 1000);
    c = Crc32Update(*t, c, data.data() + 1037, data.size() - 1037);
    EXPECT_EQ(~c, ByteLoopCrc(table, data));
  }
}

// A table that is not a CRC table cannot be sliced; it is still applied byte by
// byte exactly as given.
TEST(DosCrc32, NonLinearTableIsUsedByteByByte) {
  uint32_t odd[256];
  for (uint32_t i = 0; i < 256; ++i) odd[i] = i * 2654435761u + 12345u;
  Crc32Tables tables;
  BuildCrc32Tables(odd, &tables);
  EXPECT_FALSE(tables.sliced);
  EXPECT_FALSE(tables.folding);
  std::string data = "the quick brown fox jumps over the lazy dog, twice over";
  EXPECT_EQ(TableCrc(odd, data), ByteLoopCrc(odd, data));
}

TEST(DosHexDigits, LowerCaseTwoPerByte) {
  const uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff};
  char out[9];
  HexDigits(bytes, 4, out);
  EXPECT_STREQ(out, "000fa0ff");
}

}  // namespace
}  // namespace tzx::dos
