-- Characters and strings: UTF-8 with its byte-order mark, the encoding rules of
-- ReadString/ReadBytes and WriteString/WriteBytes, and their errors.
local t = require("testing")

local MARK = "\239\187\191"
local E_ACUTE, EURO, GRIN = "\195\169", "\226\130\172", "\240\159\152\128"

-- ReadChr: code points of UTF-8 text; the mark is never returned.
t.write_file("u.txt", MARK .. "a" .. E_ACUTE .. EURO .. MARK .. GRIN .. "\128\233")
OpenFile(1, "u.txt")
t.eq(ReadChr(1), 97, "first character after the mark")
t.eq(ReadChr(1), 233, "two-byte character")
t.eq(ReadChr(1), 0x20AC, "three-byte character")
t.eq(ReadChr(1), 0x1F600, "a mark inside the text is skipped as well")
-- A stray continuation byte is invalid; a sequence cut off by the end is a
-- read past the end.
t.expect_error(1585, ReadChr, 1)
t.expect_error(1009, ReadChr, 1)
-- Encoding 0 reads single bytes; so does every read of an 8-bit file.
Seek(1, 0)
t.eq(ReadChr(1, 0), 239, "a byte with encoding 0")
SetFileEncoding(1, 0)
t.eq(ReadChr(1), 187, "a byte from an 8-bit file")
CloseFile(1)

-- A mark with nothing after it: no character for ReadChr, and the empty text
-- for a UTF-8 read to the end.
t.write_file("mark.txt", MARK)
OpenFile(2, "mark.txt", MODE_READ, {encoding = 1})
t.expect_error(1009, ReadChr, 2)
Seek(2, 0)
t.eq(ReadString(2), "", "only a mark")
CloseFile(2)

-- ReadString with no file encoding: raw to the end, or a count of characters.
t.write_file("s.txt", MARK .. "caf" .. E_ACUTE .. " " .. EURO)
OpenFile(3, "s.txt")
t.eq(ReadString(3), MARK .. "caf" .. E_ACUTE .. " " .. EURO, "the raw rest of the file")
Seek(3, 0)
t.eq(ReadString(3, 4), "caf" .. E_ACUTE, "four characters, the mark skipped")
t.eq(ReadString(3, 2, 0), " \226", "bytes when asked for 8-bit text")
t.expect_error(1055, ReadString, 3, -1)
-- Fewer characters than asked for: a read past the end.
Seek(3, 0)
t.expect_error(1009, ReadString, 3, 100)
CloseFile(3)

-- A UTF-8 file read as 8-bit text is converted; a character without an
-- 8-bit form fails.
t.write_file("fr.txt", "caf" .. E_ACUTE)
OpenFile(4, "fr.txt", MODE_READ, {encoding = 1})
t.eq(ReadString(4, 0, 0), "caf\233", "converted to ISO 8859-1")
Seek(4, 0)
t.eq(ReadString(4), "caf" .. E_ACUTE, "unchanged as UTF-8")
CloseFile(4)
t.write_file("euro.txt", EURO)
OpenFile(4, "euro.txt", MODE_READ, {encoding = 1})
t.expect_error(1670, ReadString, 4, 0, 0)
CloseFile(4)

-- An 8-bit file becomes UTF-8, for ReadString and ReadBytes alike.
t.write_file("latin.txt", "caf\233")
OpenFile(5, "latin.txt", MODE_READ, {encoding = 0})
t.eq(ReadString(5), "caf" .. E_ACUTE, "ReadString of an 8-bit file")
Seek(5, 0)
t.eq(ReadBytes(5, 4), "caf" .. E_ACUTE, "ReadBytes of an 8-bit file")
CloseFile(5)

-- ReadBytes: raw bytes; more than is left fails without moving the position.
t.write_file("b.bin", "\0\1\2" .. E_ACUTE)
OpenFile(6, "b.bin")
t.eq(ReadBytes(6, 2), "\0\1", "two bytes")
t.expect_error(1009, ReadBytes, 6, 10)
t.eq(FilePos(6), 2, "position kept")
t.eq(ReadBytes(6), "\2" .. E_ACUTE, "the rest")
t.eq(ReadBytes(6), "", "nothing left")
-- A UTF-8 file hands ReadBytes its characters unconverted.
SetFileEncoding(6, 1)
Seek(6, 3)
t.eq(ReadBytes(6, 1), E_ACUTE, "one character of a UTF-8 file")
CloseFile(6)

-- WriteChr: UTF-8 for code points, single bytes for encoding 0 or 8-bit files.
OpenFile(7, "c.txt", MODE_WRITE)
WriteChr(7, 0x20AC)
WriteChr(7, 233, 0)
WriteChr(7, 65 + 256, 0)
t.expect_error(1055, WriteChr, 7, 0x110000)
t.expect_error(1055, WriteChr, 7, 0xD800)
t.expect_error(1055, WriteChr, 7, -1)
SetFileEncoding(7, 0)
WriteChr(7, 233)
CloseFile(7)
t.eq(t.read_file("c.txt"), EURO .. "\233A\233", "written characters")

-- WriteString: lengths count characters of UTF-8 text and bytes otherwise.
OpenFile(8, "w.txt", MODE_WRITE)
WriteString(8, "h" .. E_ACUTE .. "llo", 2)
WriteString(8, "|")
WriteString(8, "h" .. E_ACUTE .. "llo", 0, 0)
t.expect_error(1245, WriteString, 8, "h" .. E_ACUTE .. "llo", 6)
t.expect_error(1245, WriteString, 8, "h" .. E_ACUTE .. "llo", 6, 0)
t.expect_error(1055, WriteString, 8, "x", -1)
WriteBytes(8, "\0\1\2", 2)
t.expect_error(1245, WriteBytes, 8, "abc", 4)
CloseFile(8)
t.eq(t.read_file("w.txt"), "h" .. E_ACUTE .. "|h\233llo\0\1", "written strings")

-- An 8-bit file receives 8-bit text; what it cannot hold is refused, and
-- WriteBytes passes bytes through unconverted.
OpenFile(9, "l.txt", MODE_WRITE, {encoding = 0})
WriteString(9, "caf" .. E_ACUTE)
t.expect_error(1670, WriteString, 9, EURO)
WriteBytes(9, E_ACUTE)
CloseFile(9)
t.eq(t.read_file("l.txt"), "caf\233" .. E_ACUTE, "8-bit file")
