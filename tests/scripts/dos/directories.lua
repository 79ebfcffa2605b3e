-- Directory handles, ReadDirectory and DirectoryItems over a small tree the
-- test makes in its scratch folder.
local t = require("testing")

os.execute("rm -rf tree empty && mkdir -p tree/sub/deeper empty")
t.write_file("tree/b.txt", "bb")
t.write_file("tree/a.txt", "a")
t.write_file("tree/.hidden", "")
t.write_file("tree/sub/c.dat", "ccc")
t.write_file("tree/sub/deeper/d.dat", "dddd")
os.execute("ln -s .. tree/sub/up")  -- a link back up: never followed

-- An empty folder: no names, and "" at key 0 of both tables.
local files, dirs = {}, {}
local nf, nd = ReadDirectory("empty", files, dirs)
t.eq(nf, 0, "files") t.eq(nd, 0, "dirs")
t.eq(files[0], "", "files[0]") t.eq(dirs[0], "", "dirs[0]")

files, dirs = {}, {}
nf, nd = ReadDirectory("tree", files, dirs)
t.eq(nf, 3, "files") t.eq(nd, 1, "dirs")
t.eq(files[0], ".hidden") t.eq(files[1], "a.txt") t.eq(files[2], "b.txt")
t.eq(files[3], "", "end marker") t.eq(dirs[0], "sub") t.eq(dirs[1], "")
t.expect_error(1286, ReadDirectory, "no/such", {}, {})
-- Unsorted: the same names in the listing's order, links to folders among
-- the folders, "" after the last; empty folders too.
files, dirs = {}, {}
nf, nd = ReadDirectory("tree/sub", files, dirs, 0)
t.eq(nf, 1) t.eq(nd, 2) t.eq(files[0], "c.dat") t.eq(files[1], "")
local names = {dirs[0], dirs[1]}
table.sort(names)
t.eq(table.concat(names, ","), "deeper,up") t.eq(dirs[2], "")
files, dirs = {}, {}
t.eq(ReadDirectory("empty", files, dirs, 0), 0) t.eq(files[0], "") t.eq(dirs[0], "")
t.expect_error(1286, ReadDirectory, "no/such", {}, {}, 0)

-- Handles: entries until the end, then nothing until a rewind.
local d = OpenDirectory(nil, "tree")
local seen = {}
while true do
  local e = NextDirectoryEntry(d)
  if not e then break end
  seen[e.name] = e
end
t.eq(NextDirectoryEntry(d), nil, "after the end")
t.eq(NextDirectoryEntry(d), nil, "still after the end")
t.eq(seen["b.txt"].size, 2, "size") t.eq(seen["b.txt"].type, DOSTYPE_FILE)
t.eq(seen["sub"].type, DOSTYPE_DIRECTORY) t.eq(seen["sub"].size, nil, "no size for folders")
assert(string.match(seen["a.txt"].time, "^%d%d%-%a%a%a%-%d%d%d%d %d%d:%d%d:%d%d$"), seen["a.txt"].time)
assert(seen["a.txt"].lastaccesstime and seen["a.txt"].creationtime)
t.eq(seen[".hidden"].flags % 256 >= FILEATTR_HIDDEN, true, "hidden")
RewindDirectory(d)
assert(NextDirectoryEntry(d), "entries again after the rewind")

-- Counting rewinds too; COUNTSEPARATE gives files, then folders.
local a, b = CountDirectoryEntries(d, COUNTSEPARATE)
t.eq(a, 3) t.eq(b, 1)
t.eq(CountDirectoryEntries(d), 3, "COUNTFILES")
t.eq(CountDirectoryEntries(d, COUNTDIRECTORIES), 1)
t.eq(CountDirectoryEntries(d, COUNTBOTH), 4)
-- Recursion counts the link as a folder but does not follow it.
a, b = CountDirectoryEntries(d, COUNTSEPARATE, 1)
t.eq(a, 5, "files in the tree") t.eq(b, 3, "folders in the tree")
t.expect_error(1055, CountDirectoryEntries, d, 7)
t.eq(GetDirectoryEntry(d, "a.txt"), "tree/a.txt")
t.eq(GetAttribute(DIRECTORY, d, ATTRADAPTER), "inbuilt")
t.eq(GetAttribute(DIRECTORY, d, ATTRFORMAT), "")
t.expect_error(1080, GetAttribute, DIRECTORY, d, ATTRMODE)
CloseDirectory(d)
t.expect_error(1041, CloseDirectory, d)

-- Numbered handles; files only when not recursive; reuse closes the old one.
OpenDirectory(1, "tree", {recursive = 0})
local n = 0
while NextDirectoryEntry(1) do n = n + 1 end
t.eq(n, 3, "files only")
OpenDirectory(1, "tree/sub")
t.eq(CountDirectoryEntries(1, COUNTBOTH), 3)
CloseDirectory(1)
t.expect_error(1318, CloseDirectory, 1)
t.expect_error(1286, OpenDirectory, 2, "no/such")
OpenDirectory(3, "tree")  -- left open: the library closes it

-- DirectoryItems: name and entry table per step, nothing after the end.
local names = {}
for name, e in DirectoryItems("tree/sub") do
  names[#names + 1] = name
  t.eq(e.name, name)
end
table.sort(names)
t.eq(table.concat(names, ","), "c.dat,deeper,up")
t.expect_error(1286, DirectoryItems, "no/such")
-- An iteration left halfway is closed by the collector.
local it = DirectoryItems("tree")
it()
it = nil
collectgarbage()
