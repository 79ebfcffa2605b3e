-- Opening and closing script files: identifiers, modes, options, attributes
-- and the errors of unknown handles and wrong access.
local t = require("testing")

-- GetObjects lists from index 0.
local function open_files()
  local n = 0
  for _ in pairs(GetObjects(FILE)) do n = n + 1 end
  return n
end

t.write_file("in.txt", "first\nsecond\n")

-- An automatic identifier is a light userdata; a second close finds nothing.
local f = OpenFile(nil, "in.txt")
t.eq(type(f), "userdata", "automatic id")
t.eq(ReadLine(f), "first", "read through the automatic id")
CloseFile(f)
t.expect_error(1041, CloseFile, f)
t.expect_error(1041, ReadLine, f)

-- A numbered handle returns nothing; an unknown number names itself.
t.eq(select("#", OpenFile(7, "in.txt")), 0, "no result for a numbered id")
CloseFile(7)
local err = t.expect_error(1179, CloseFile, 7)
assert(string.find(err, "7", 1, true), err)
t.expect_error(1179, Eof, 12)

-- Opening a number again replaces its file; the first one's data is written.
OpenFile(5, "a.txt", MODE_WRITE)
WriteBytes(5, "written before the replacement")
OpenFile(5, "in.txt")
t.eq(ReadLine(5), "first", "the number now reads the second file")
t.eq(open_files(), 1, "only one file open under the number")
CloseFile(5)
t.eq(t.read_file("a.txt"), "written before the replacement", "first file closed with its data")

-- Modes and names.
t.expect_error(1055, OpenFile, 1, "in.txt", 1007)
t.expect_error(1055, OpenFile, 1, "", MODE_READ)
t.expect_error(1055, OpenFile, 1, "", MODE_WRITE)
err = t.expect_error(1045, OpenFile, 1, "missing.txt")
assert(string.find(err, "missing.txt", 1, true), err)
err = t.expect_error(1052, OpenFile, 1, "no/such/dir/out.txt", MODE_WRITE)
assert(string.find(err, "no/such/dir/out.txt", 1, true), err)
t.expect_error(1052, OpenFile, 1, "no/such/dir/out.txt", MODE_READWRITE)
t.eq(open_files(), 0, "failed opens leave nothing behind")

-- Read/write mode keeps existing contents and allows both directions.
OpenFile(2, "in.txt", MODE_READWRITE)
t.eq(ReadLine(2), "first", "read in read/write mode")
Seek(2, 0, SEEK_END)
WriteLine(2, "third")
Seek(2, 0)
t.eq(ReadBytes(2), "first\nsecond\nthird\r\n", "appended in place")
CloseFile(2)

-- Reading a write-only file and writing a read-only file are refused, and the
-- file stays usable.
OpenFile(3, "w.bin", MODE_WRITE)
t.expect_error(1142, ReadByte, 3)
t.expect_error(1142, ReadLine, 3)
t.expect_error(1142, ReadString, 3)
WriteByte(3, 65)
CloseFile(3)
OpenFile(4, "w.bin")
t.expect_error(1141, WriteByte, 4, 1)
t.expect_error(1141, WriteLine, 4, "x")
t.expect_error(1141, WriteString, 4, "x")
t.eq(ReadByte(4), 65, "read-only file still reads")
CloseFile(4)

-- Options: the encoding is kept, the inbuilt adapter serves, an unknown
-- adapter cannot, and other fields go to the adapter as tags.
OpenFile(6, "in.txt", MODE_READ, {encoding = 0, adapter = "inbuilt", custom = "tag"})
t.eq(GetAttribute(FILE, 6, ATTRENCODING), 0, "encoding option")
t.eq(GetAttribute(FILE, 6, ATTRMODE), MODE_READ, "mode attribute")
t.eq(GetAttribute(FILE, 6, ATTRADAPTER), "inbuilt", "adapter attribute")
t.eq(GetAttribute(FILE, 6, ATTRFORMAT), "", "no format name")
t.expect_error(1080, GetAttribute, FILE, 6, 1)
SetFileEncoding(6, 1)
t.eq(GetAttribute(FILE, 6, ATTRENCODING), 1, "SetFileEncoding")
CloseFile(6)
t.expect_error(1179, GetAttribute, FILE, 6, ATTRMODE)
t.expect_error(1045, OpenFile, 6, "in.txt", MODE_READ, {adapter = "nosuchadapter"})
t.eq(GetAttribute(FILE, OpenFile(nil, "in.txt", MODE_READ, {}), ATTRENCODING), -1, "default encoding")

-- "writebom" marks write-only files of UTF-8 or unset encoding only.
OpenFile(1, "bom.txt", MODE_WRITE, {writebom = 1})
CloseFile(1)
t.eq(t.read_file("bom.txt"), "\239\187\191", "mark written")
OpenFile(1, "bom8.txt", MODE_WRITE, {writebom = true, encoding = 0})
CloseFile(1)
t.eq(t.read_file("bom8.txt"), "", "no mark for 8-bit files")
OpenFile(1, "bom.txt", MODE_READWRITE, {writebom = 1})
CloseFile(1)
t.eq(t.read_file("bom.txt"), "\239\187\191", "no mark in read/write mode")

-- The standard streams pass through by name.
OpenFile(1, STDERR, MODE_WRITE)
WriteString(1, "")
CloseFile(1)
t.expect_error(1052, OpenFile, 1, STDIN, MODE_WRITE)

-- Files left open are closed by the library at the end (checked by the leak test).
OpenFile(9, "in.txt")
OpenFile(nil, "in.txt")
