-- The colour commands end to end: channels, composition without clamping,
-- unsigned results, mixing and its range, and the random-colour table.
local t = require("testing")

-- Channels never see alpha.
t.eq(Red(0xFF123456), 0x12, "Red")
t.eq(Green(0xFF123456), 0x34, "Green")
t.eq(Blue(0xFF123456), 0x56, "Blue")
t.eq(red(-1), 255, "lower-case name, negative colour")
t.eq(Blue(0x1FF), 0xFF, "Blue masks")

-- RGB shifts without clamping and hands back a signed number.
t.eq(RGB(0x12, 0x34, 0x56), 0x123456, "RGB")
t.eq(RGB(256, 0, 0), 0x1000000, "RGB(256, 0, 0)")
t.eq(RGB(0, 256, 0), RGB(1, 0, 0), "green 256 is red 1")
t.eq(RGB(1.9, 2.9, -0.5), 0x010200, "numbers truncate toward zero")
t.eq(RGB(255, 0, 0) + RGB(0, 0, 255), 0xFF00FF, "parts add up")
t.eq(RGB(-1, 0, 0), -65536, "signed result")
t.eq(RGB(0x8000, 0, 0), -2147483648, "bit 31 set gives a negative number")

-- ARGB, MixRGB and GetRealColor hand back unsigned numbers.
t.eq(ARGB(255, 0xFFFFFF), 4294967295, "ARGB(255, 0xFFFFFF)")
t.eq(ARGB(1.9, 0), 0x01000000, "alpha truncated")
t.eq(ARGB(128, 0x102030), 0x80102030, "alpha 128 is above 2^31")
t.eq(ARGB(0, -1), 4294967295, "colour bits pass as they are")
t.eq(NOCOLOR, 4294967295, "NOCOLOR")
t.eq(ARGB(255, 0xFFFFFF), NOTRANSPARENCY, "NOTRANSPARENCY")

t.eq(MixRGB(0x000000, 0xFFFFFF, 255), 0xFEFEFE, "ratio 255 stops short")
t.eq(MixRGB(0xFFFFFF, 0x000000, 255), 0x000000, "toward minus infinity")
t.eq(MixRGB(0x000000, 0xFFFFFF, 128), 0x7F7F7F, "half way up")
t.eq(MixRGB(0xFFFFFF, 0x000000, 128), 0x7F7F7F, "half way down")
t.eq(MixRGB(0x123456, 0xABCDEF, 0), 0x123456, "ratio 0")
t.eq(MixRGB(0x000000, 0xFFFFFF), 0xFEFEFE, "ratio defaults to 255")
t.eq(MixRGB(0xFF102030, 0x80102030, 100), 0x102030, "alpha dropped")
t.eq(MixRGB(0, 0xFF, 255.9), 0xFE, "ratio truncated")
t.expect_error(1055, MixRGB, 0, 0xFFFFFF, 256)
t.expect_error(1055, MixRGB, 0, 0xFFFFFF, -1)
t.expect_error(1055, MixRGB, 0, 0xFFFFFF, 4294967296 + 300)

-- The display library is loaded: without an output the colour is unchanged.
t.eq(GetRealColor(0xFF12FF87), 4279435143, "no output, unsigned")
t.eq(GetRealColor(0x123456), 0x123456, "plain colour")

-- Argument counts are checked by the host.
t.expect_error(1901, RGB, 1, 2)
t.expect_error(1902, Red, 1, 2)
t.expect_error(1902, GetRandomColor, 1)

-- Every random colour comes from the table of 246 12-bit colours.
local table12 = "CCC 000 FFF 888 A20 D50 EB0 080 6B0 170 5BC 367 07B 048 E88 B55 " ..
  "E72 C64 820 FB7 90F 60C B70 950 FA5 D84 9B9 686 4A7 175 333 EEE " ..
  "666 000 777 240 620 510 750 540 350 030 256 133 035 024 744 522 " ..
  "731 632 410 753 407 306 530 420 752 642 454 343 253 032 111 777 " ..
  "FF0 EE0 DD0 CC0 BB0 AA0 990 880 770 660 550 440 330 220 110 F00 " ..
  "E00 D00 C00 B00 A00 900 800 700 600 500 400 300 200 0F0 0E0 0D0 " ..
  "0C0 0B0 0A0 090 080 070 060 050 040 030 020 010 00F 00E 00D 00C " ..
  "00B 00A 009 008 007 006 005 004 003 002 0FF 0EE 0DD 0CC 0BB 0AA " ..
  "099 088 077 066 055 044 033 022 011 F0F E0E D0D C0C B0B A0A 909 " ..
  "808 707 606 505 404 303 202 101 FFF FFE FFD FFC FFB FFA FF9 FF8 " ..
  "FF7 FF6 FF5 FF4 FF3 FF2 FF1 FF0 FFF EEE DDD CCC BBB AAA 999 888 " ..
  "777 666 555 444 333 222 111 F77 F87 FA7 FB7 FC7 FD7 FF7 EF7 DF7 " ..
  "BF7 AF7 9F7 8F7 7F8 7F9 7FA 7FC 7FD 7FE 7EF 7DF 7CF 7BF 79F 78F " ..
  "77F 97F A7F B7F C7F E7F F7F F00 F20 F50 F70 FA0 FC0 FE0 DF0 BF0 " ..
  "8F0 6F0 3F0 1F0 0F1 0F4 0F6 0F9 0FB 0FD 0EF 0BF 09F 07F 04F 02F " ..
  "00F 30F 50F 80F A0F C0F"
local allowed, entries = {}, 0
for digits in string.gmatch(table12, "%x%x%x") do
  local r = tonumber(string.sub(digits, 1, 1), 16)
  local g = tonumber(string.sub(digits, 2, 2), 16)
  local b = tonumber(string.sub(digits, 3, 3), 16)
  allowed[r * 17 * 65536 + g * 17 * 256 + b * 17] = true
  entries = entries + 1
end
t.eq(entries, 246, "table size")
local seen = 0
local distinct = {}
for i = 1, 2000 do
  local c = GetRandomColor()
  if not allowed[c] then error("not a table colour: " .. string.format("%X", c)) end
  if not distinct[c] then
    distinct[c] = true
    seen = seen + 1
  end
end
-- 2000 draws from 246 entries leave hardly any colour out.
assert(seen > 150, "random colours cover the table, saw " .. seen)

-- IsPicture through the host's imageio library: a 2 × 1 BMP of 24 bits.
local function le(n, bytes)
  local s = ""
  for _ = 1, bytes do
    s = s .. string.char(n % 256)
    n = math.floor(n / 256)
  end
  return s
end
local bmp = "BM" .. le(62, 4) .. le(0, 4) .. le(54, 4) ..
  le(40, 4) .. le(2, 4) .. le(1, 4) .. le(1, 2) .. le(24, 2) .. le(0, 4) .. le(8, 4) ..
  le(2835, 4) .. le(2835, 4) .. le(0, 4) .. le(0, 4) ..
  string.char(0, 0, 255, 255, 0, 0, 0, 0)
t.write_file("tiny.bmp", bmp)
local found, info = IsPicture("tiny.bmp")
t.eq(found, 1, "BMP found")
t.eq(info.format, IMGFMT_BMP, "format")
t.eq(info.width, 2, "width")
t.eq(info.height, 1, "height")
t.eq(info.depth, 24, "depth")
t.eq(info.alpha, 0, "alpha")
t.eq(info.vector, 0, "vector")
t.eq(info.transparency, 0, "transparency")

-- A loader list without BMP does not recognise it; that is no error.
found, info = IsPicture("tiny.bmp", {loader = "png"})
t.eq(found, 0, "loader refused")
t.eq(info.format, IMGFMT_UNKNOWN, "unknown format")
t.eq(info.width, 0, "no size")

t.write_file("notes.txt", "not a picture")
found, info = IsPicture("notes.txt")
t.eq(found, 0, "text file")
t.eq(info.format, 8, "format 8")
found = IsPicture("missing.bmp")
t.eq(found, 0, "missing file")
-- The options must be a table, and user tags the host refuses are errors.
t.expect_error(1055, IsPicture, "tiny.bmp", {nested = {}})
assert(not pcall(IsPicture, "tiny.bmp", 5), "a number is no option table")
