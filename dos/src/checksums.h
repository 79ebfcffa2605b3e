// CRC-32, MD5 (RFC 1321) and SHA-1 (FIPS 180-1) over byte chunks. Pure: no
// host services, no allocation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::dos {

// CRC-32 driven by a 256-entry reflected table (the host's). The register
// starts at all ones and is complemented at the end; each byte does
//   crc = (crc >> 8) ^ table[(crc ^ byte) & 0xFF].
// When the table is linear (as every CRC table is), 16 derived tables let the
// update take 16 bytes a step with identical results; any other table is used
// a byte at a time. When it is the table of the standard polynomial
// 0xEDB88320 and the processor multiplies without carries, long runs are
// folded 64 bytes a step instead, again with identical results.
struct Crc32Tables {
  uint32_t t[16][256];
  bool sliced;
  bool folding;
};
void BuildCrc32Tables(const uint32_t* table, Crc32Tables* out);
uint32_t Crc32Update(const Crc32Tables& tables, uint32_t crc, const void* data, size_t n);

class Md5 {
 public:
  static constexpr size_t kDigestSize = 16;
  Md5();
  void Update(const void* data, size_t n);
  void Final(uint8_t digest[kDigestSize]);

 private:
  uint32_t state_[4];
  uint64_t length_ = 0;
  uint8_t pending_[64];
  size_t used_ = 0;
};

// Uses the processor's SHA instructions where it has them, unless
// `allowExtensions` is false.
class Sha1 {
 public:
  static constexpr size_t kDigestSize = 20;
  explicit Sha1(bool allowExtensions = true);
  void Update(const void* data, size_t n);
  void Final(uint8_t digest[kDigestSize]);

 private:
  void Blocks(const uint8_t* p, size_t count);

  uint32_t state_[5];
  bool extensions_;
  uint64_t length_ = 0;
  uint8_t pending_[64];
  size_t used_ = 0;
};

// Lower-case hexadecimal, two digits a byte, terminated: `out` has 2n + 1 bytes.
void HexDigits(const uint8_t* bytes, size_t n, char* out);

}  // namespace tzx::dos
