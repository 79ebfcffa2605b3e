-- Argument values the host's readers refuse instead of passing them on
-- changed: names with a NUL byte, numbers that are not finite or do not fit
-- 32 bits, and type errors that name the command.
local t = require("testing")

-- A NUL byte would cut the name: the command would work on another file.
local cut = "out.txt\0.backup"
t.expect_error(1904, StringToFile, "data", cut)
t.expect_error(1904, OpenFile, 1, cut, MODE_WRITE)
t.expect_error(1904, OpenFile, 1, cut, MODE_READWRITE)
t.expect_error(1904, OpenFile, 1, cut)
t.expect_error(1904, FileToString, cut)
t.expect_error(1904, FileLines, cut)
t.expect_error(1904, CRC32, cut)
t.expect_error(1904, MD5, cut)
t.expect_error(1904, SHA1, cut)
CreateBrush(1, 4, 4)
t.expect_error(1904, SaveBrush, 1, cut)
t.expect_error(1904, LoadBrush, 2, cut)
t.expect_error(1904, IsPicture, cut)
t.expect_error(1904, SaveSnapshot, cut, SNAPDESKTOP)
t.eq(io.open("out.txt", "rb"), nil, "no file under the cut name")

-- Numbers that do not fit the 32-bit argument, and NaN and infinities.
t.expect_error(1055, MixRGB, 0, 0xFFFFFF, 2 ^ 32 + 5)
t.expect_error(1055, MixRGB, 0, 0xFFFFFF, 0 / 0)
t.expect_error(1055, CreateBrush, nil, 2 ^ 32 + 4, 4)
t.expect_error(1055, CreateBrush, nil, 1 / 0, 4)
t.expect_error(1055, CreateBrush, 2 ^ 40, 4, 4)
CreateBrush(2, 4, 4, 0, {depth = 2})
t.expect_error(1055, WriteBrushPixel, 2, 0, 0, 2 ^ 32 + 1)
t.expect_error(1646, WriteBrushPixel, 2, 0, 0, 4)
t.expect_error(1055, SetBrushDepth, 2, 2 ^ 32 + 2)
t.expect_error(1055, PenArrayToBrush, 3, {[0] = 2 ^ 32 + 1}, 1, 1)
t.expect_error(1055, PenArrayToBrush, 3, {[0] = 0 / 0}, 1, 1)
t.expect_error(1055, RGBArrayToBrush, 3, {[0] = -1 / 0}, 1, 1)
-- Colours stay 32-bit patterns, written signed or unsigned.
t.eq(MixRGB(0xFFFFFFFF, -1, 128), MixRGB(0xFFFFFF, 0xFFFFFF, 128), "colours either way")
t.eq(GetObjects(BRUSH)[3], nil, "nothing made")

-- Draw tags: NaN and infinities are refused before they reach a draw.
t.expect_error(1055, SetDrawTagsDefault, {scalex = 0 / 0})
t.expect_error(1055, SetDrawTagsDefault, {rotate = 1 / 0})
t.expect_error(1055, SetDrawTagsDefault, {shadow = true, shadowradius = 0 / 0})
SelectBrush(1)
t.expect_error(1055, DisplayBrush, 2, 0, 0, {rotate = 0 / 0})
-- A border no bitmap can hold fails as an allocation, nothing wraps.
t.expect_error(1522, DisplayBrush, 2, 0, 0, {border = true, bordersize = 2 ^ 31 - 1})
t.expect_error(1522, DisplayBrush, 2, 0, 0, {shadow = true, shadowsize = 2 ^ 31 - 1})
t.expect_error(1055, DisplayBrush, 2, 0, 0, {border = true, bordersize = 2 ^ 31})
EndSelect()
FreeBrush(1)
FreeBrush(2)

-- Type errors name the command, whatever the script called it by.
local ok, message = pcall(OpenFile, {}, "x")
t.eq(message:find("bad argument #1 to 'OpenFile' (number or nil expected, got table)", 1, true) ~= nil,
     true, message)
ok, message = pcall(readline, "x")
t.eq(message:find("bad argument #1 to 'ReadLine' (object identifier expected, got string)", 1,
                  true) ~= nil, true, message)
ok, message = pcall(CreateBrush, 1, "wide", 4)
t.eq(message:find("bad argument #2 to 'CreateBrush' (number expected, got string)", 1, true) ~= nil,
     true, message)
