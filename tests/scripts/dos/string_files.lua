-- FileToString and StringToFile, and virtual files over regions and strings.
local t = require("testing")

-- Round trip of every byte value, NULs included.
local bytes = {}
for i = 0, 255 do bytes[#bytes + 1] = string.char(i) end
local data = string.rep(table.concat(bytes), 100)
StringToFile(data, "round.bin")
local s, n = FileToString("round.bin")
t.eq(s, data, "same bytes back")
t.eq(n, #data, "and their count")
StringToFile("", "round.bin")
s, n = FileToString("round.bin")
t.eq(s, "", "empty string")
t.eq(n, 0, "empty length")

-- Past 4 MB the buffer a file is read into asks for huge pages: the bytes come
-- back whole, read at once, in blocks, or from a pipe of unknown length whose
-- buffer grows on the way.
local big = string.rep(data, 200)
StringToFile(big, "big.bin")
t.eq(FileToString("big.bin") == big, true, "5 MB back whole")
OpenFile(1, "big.bin")
t.eq(ReadBytes(1, #big) == big, true, "5 MB read at once")
CloseFile(1)
if os.execute("rm -f big.pipe && mkfifo big.pipe") == 0 then
  os.execute("sh -c 'cat big.bin > big.pipe' &")
  t.eq(FileToString("big.pipe") == big, true, "5 MB through a pipe")
else
  io.stderr:write("skipped: no named pipe here\n")
end

-- Options: the inbuilt adapter and tags are accepted; an unknown adapter
-- cannot serve the file.
StringToFile("tagged", "opt.txt", {adapter = "inbuilt", note = "kept for the adapter"})
t.eq(FileToString("opt.txt", {adapter = "default", note = 1}), "tagged", "options")
t.expect_error(1045, FileToString, "opt.txt", {adapter = "zip"})
t.expect_error(1052, StringToFile, "x", "opt.txt", {adapter = "zip"})
t.eq(FileToString("opt.txt"), "tagged", "refused write left the file alone")
local err = t.expect_error(1045, FileToString, "missing.txt")
assert(string.find(err, "missing.txt", 1, true), err)

-- A region of a file under a virtual name.
t.write_file("whole.txt", "header|line one\nline two\n|trailer")
local region = DefineVirtualFile("whole.txt", 7, 18, "region.txt")
t.eq(string.find(region, "region.txt", 1, true) ~= nil, true, "path ends in the name: " .. region)
t.eq(FileToString(region), "line one\nline two\n", "region contents")
OpenFile(1, region)
t.eq(ReadLine(1), "line one", "read through a handle")
t.eq(FileLength(1), 18, "region length")
CloseFile(1)
local lines = {}
for l in FileLines(region) do lines[#lines + 1] = l end
t.eq(table.concat(lines, "|"), "line one|line two", "FileLines over a region")
-- Regions are for reading; they are not string files.
t.expect_error(1052, OpenFile, 1, region, MODE_WRITE)
t.expect_error(1055, UndefineVirtualStringFile, region)
t.expect_error(1055, DefineVirtualFile, "whole.txt", 0, 0, "zero.txt")
t.expect_error(1055, DefineVirtualFile, "whole.txt", 0, 5, "")

-- String data under a virtual name, until it is undefined.
local path = DefineVirtualFileFromString("alpha\nbeta", "str.txt", 3)
t.eq(FileToString(path), "alpha\nbeta", "string contents")
OpenFile(2, path)
t.eq(ReadLine(2), "alpha", "read through a handle")
CloseFile(2)
UndefineVirtualStringFile(path)
t.expect_error(1045, FileToString, path)
t.expect_error(1055, UndefineVirtualStringFile, path)
t.expect_error(1055, UndefineVirtualStringFile, "not/virtual.txt")
t.expect_error(1055, DefineVirtualFileFromString, "data", "")
-- Each definition gets a path of its own.
local a = DefineVirtualFileFromString("1", "same.txt")
local b = DefineVirtualFileFromString("2", "same.txt")
t.eq(a ~= b, true, "distinct paths")
t.eq(FileToString(a) .. FileToString(b), "12", "distinct contents")
UndefineVirtualStringFile(a)
UndefineVirtualStringFile(b)
