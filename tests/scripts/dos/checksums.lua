-- CRC32, MD5 and SHA1 of files, against known values.
local t = require("testing")

t.write_file("abc.txt", "abc")
t.eq(MD5("abc.txt"), "900150983cd24fb0d6963f7d28e17f72", "MD5 of abc")
t.eq(SHA1("abc.txt"), "a9993e364706816aba3e25717850c26c9cd0d89d", "SHA1 of abc")
t.write_file("check.txt", "123456789")
t.eq(CRC32("check.txt"), 3421780262, "CRC-32 check value, unsigned")

t.write_file("empty.txt", "")
t.eq(CRC32("empty.txt"), 0, "CRC-32 of nothing")
t.eq(MD5("empty.txt"), "d41d8cd98f00b204e9800998ecf8427e", "MD5 of nothing")
t.eq(SHA1("empty.txt"), "da39a3ee5e6b4b0d3255bfef95601890afd80709", "SHA1 of nothing")

-- Every byte value, over two 1 MB reads; and over the 16 MB from which a
-- worker reads ahead, ending in a short read.
local bytes = {}
for i = 0, 255 do bytes[#bytes + 1] = string.char(i) end
t.write_file("all.bin", string.rep(table.concat(bytes), 5000))
t.eq(CRC32("all.bin"), 1344164320, "CRC-32 over two chunks")
t.eq(MD5("all.bin"), "4b7fc6acd4f7b48d23e38ebf35ed28af", "MD5 over two chunks")
t.eq(SHA1("all.bin"), "6835966f35153e37157aec4ec3c48e5d5d831bbd", "SHA1 over two chunks")
t.write_file("big.bin", string.rep(table.concat(bytes), 65537))
t.eq(CRC32("big.bin"), 3791376782, "CRC-32 read ahead")
t.eq(MD5("big.bin"), "aa3dd82966019b476661cd56ae2d34de", "MD5 read ahead")
t.eq(SHA1("big.bin"), "4bca21a38886f5c09017ff24885ba71cb0cebeee", "SHA1 read ahead")

-- Virtual files are files like any other.
local v = DefineVirtualFileFromString("abc", "abc.txt")
t.eq(MD5(v), "900150983cd24fb0d6963f7d28e17f72", "MD5 of a virtual file")
UndefineVirtualStringFile(v)

for _, fn in ipairs({CRC32, MD5, SHA1}) do
  t.expect_error(1055, fn, "")
  local err = t.expect_error(1045, fn, "missing.bin")
  assert(string.find(err, "missing.bin", 1, true), err)
end
