-- CopyFile, MoveFile and DeleteFile: callbacks and their answers, what is
-- left after an abort or a failure, trees, patterns, and the async library.
local t = require("testing")

local function listing(folder)
  local names = {}
  for name in DirectoryItems(folder) do names[#names + 1] = name end
  table.sort(names)
  return table.concat(names, ",")
end

os.execute("rm -rf src dst tree tmpdel && mkdir -p src dst")
local block = string.rep("0123456789abcdef", 4096)  -- 64 KiB
t.write_file("src/big.bin", string.rep(block, 8))      -- 512 KiB
t.write_file("src/small.txt", "small")

-- A plain copy keeps the contents and the permission bits.
os.execute("chmod 640 src/small.txt")
CopyFile("src/small.txt", "dst")
t.eq(t.read_file("dst/small.txt"), "small")
t.eq(GetFileAttributes("dst/small.txt").flags % 8192, GetFileAttributes("src/small.txt").flags % 8192, "flags")
-- Also bits the umask would take away, and read-only ones.
for _, bits in ipairs({"666", "444"}) do
  os.execute("chmod " .. bits .. " src/small.txt")
  CopyFile("src/small.txt", "dst", {newname = "bits.txt"})
  t.eq(GetFileAttributes("dst/bits.txt").flags % 8192, GetFileAttributes("src/small.txt").flags % 8192, bits)
  os.execute("chmod 644 dst/bits.txt") DeleteFile("dst/bits.txt")
end
os.execute("chmod 640 src/small.txt")

-- The callback stops the copy at its first block: no file, no temporary file.
local calls = 0
CopyFile("src/big.bin", "dst", {buffersize = 65536, callback = function(msg)
  calls = calls + 1
  t.eq(msg.action, COPYFILE_STATUS)
  t.eq(msg.copied, 65536)
  t.eq(msg.filesize, 512 * 1024)
  t.eq(msg.userdata, "mine")
  return true
end, userdata = "mine"})
t.eq(calls, 1, "callback calls")
t.eq(listing("dst"), "small.txt", "nothing of the aborted copy")

-- Halfway through, the same.
calls = 0
CopyFile("src/big.bin", "dst", {buffersize = 65536, callback = function(msg)
  calls = calls + 1
  return msg.copied >= 256 * 1024
end})
t.eq(calls, 4) t.eq(listing("dst"), "small.txt")

-- An error in the callback ends the copy with that error, nothing left.
local err = t.expect_error(1900, CopyFile, "src/big.bin", "dst", {callback = function() error("boom") end})
assert(string.find(err, "boom", 1, true), err)
t.eq(listing("dst"), "small.txt")

-- Overwriting: refused keeps the old file, accepted replaces it.
t.write_file("dst/big.bin", "old")
local asked = 0
CopyFile("src/big.bin", "dst", {callback = function(msg)
  if msg.action == COPYFILE_OVERWRITE then asked = asked + 1 return false end
end})
t.eq(asked, 1) t.eq(t.read_file("dst/big.bin"), "old", "kept")
CopyFile("src/big.bin", "dst", {callback = function(msg) return msg.action == COPYFILE_OVERWRITE or nil end})
t.eq(#t.read_file("dst/big.bin"), 512 * 1024, "replaced")
t.eq(listing("dst"), "big.bin,small.txt", "replaced in one step, nothing beside it")
-- -1 for the overwrite question stops everything.
t.write_file("dst/small.txt", "older")
CopyFile("src/small.txt", "dst", {callback = function(msg) return -1 end})
t.eq(t.read_file("dst/small.txt"), "older")
-- A protected destination is asked about too.
os.execute("chmod 444 dst/small.txt")
local actions = {}
CopyFile("src/small.txt", "dst", {callback = function(msg)
  actions[#actions + 1] = msg.action
  if msg.action ~= COPYFILE_STATUS then return 1 end
end})
t.eq(table.concat(actions, ","), COPYFILE_OVERWRITE .. "," .. COPYFILE_UNPROTECT .. "," .. COPYFILE_STATUS)
t.eq(t.read_file("dst/small.txt"), "small")

-- New names, file destinations, a file onto itself.
CopyFile("src/small.txt", "dst", {newname = "renamed.txt"})
t.eq(t.read_file("dst/renamed.txt"), "small")
CopyFile("src/small.txt", "dst/exact.txt/", {filedst = 1})
t.eq(t.read_file("dst/exact.txt"), "small")
CopyFile("src/small.txt", "src", {force = 1})
t.eq(t.read_file("src/small.txt"), "small", "a copy onto itself leaves the file intact")
CopyFile("src/small.txt", "dst", "positional.txt")
t.eq(t.read_file("dst/positional.txt"), "small")

-- Exactly one block and an empty file: one status call for the block, none
-- for nothing, and both arrive whole.
t.write_file("src/block.bin", block)
t.write_file("src/empty.bin", "")
local statuses = {}
for _, name in ipairs({"block.bin", "empty.bin"}) do
  statuses[name] = 0
  CopyFile("src/" .. name, "dst", {buffersize = 65536, callback = function(msg)
    statuses[name] = statuses[name] + 1
    t.eq(msg.copied, 65536)
  end})
end
t.eq(statuses["block.bin"], 1) t.eq(statuses["empty.bin"], 0)
t.eq(t.read_file("dst/block.bin"), block) t.eq(t.read_file("dst/empty.bin"), "")
-- Aborted at the end of its only block: still nothing.
CopyFile("src/block.bin", "dst", {newname = "stopped.bin", buffersize = 65536,
  callback = function(msg) return msg.action == COPYFILE_STATUS end})
t.eq(Exists("dst/stopped.bin"), 0)
t.eq(string.find(listing("dst"), "^%."), nil, "no temporary files left")
DeleteFile("dst/block.bin") DeleteFile("dst/empty.bin")

-- Failures.
t.expect_error(1045, CopyFile, "src/none", "dst")
t.write_file("plainfile", "x")
t.expect_error(1084, CopyFile, "src/small.txt", "plainfile")
t.expect_error(1193, CopyFile, "src/small.txt", "dst", {}, 1)
t.expect_error(1055, CopyFile, "src/small.txt", "dst", {buffersize = 0})

-- Trees, with a pattern; never into themselves.
os.execute("mkdir -p tree/a/b tree/c && ln -s ../c tree/a/link")
t.write_file("tree/a/one.txt", "1") t.write_file("tree/a/b/two.txt", "22")
t.write_file("tree/c/three.dat", "333") t.write_file("tree/top.txt", "top")
CopyFile("tree", "dst")
t.eq(listing("dst/tree"), "a,c,top.txt") t.eq(listing("dst/tree/a"), "b,link,one.txt")
t.eq(t.read_file("dst/tree/a/b/two.txt"), "22")
t.eq(IsDirectory("dst/tree/a/link"), 1, "the link was copied as a link")
CopyFile("tree", "dst", {pattern = "*.txt", newname = "texts"})
t.eq(t.read_file("dst/texts/a/b/two.txt"), "22")
t.eq(Exists("dst/texts/c/three.dat"), 0, "filtered")
t.expect_error(1055, CopyFile, "tree", "tree/a")
t.expect_error(1055, CopyFile, "tree", "tree")

-- Moves: a rename on one file system; refused over existing names and for
-- the root; across file systems copy, check, delete.
MoveFile("dst/texts", "dst/moved")
t.eq(Exists("dst/texts"), 0) t.eq(t.read_file("dst/moved/texts/top.txt"), "top")
t.expect_error(1600, MoveFile, "dst/renamed.txt", "dst/moved/..")
t.expect_error(1055, MoveFile, "/", "dst")
t.expect_error(1045, MoveFile, "dst/none", "dst/moved")
local shm = "/dev/shm/tessera-move-" .. tostring(os.time()) .. "-" .. tostring(math.random(1e6))
if IsDirectory("/dev/shm") == 1 then
  local statuses = {}
  MoveFile("dst/moved", shm, function(msg) statuses[msg.action] = (statuses[msg.action] or 0) + 1 end)
  t.eq(Exists("dst/moved"), 0, "source gone after the move")
  t.eq(t.read_file(shm .. "/moved/texts/a/b/two.txt"), "22")
  assert(statuses[MOVEFILE_COPY] and statuses[MOVEFILE_DELETE], "copy and delete steps reported")
  DeleteFile(shm)
  t.eq(Exists(shm), 0)
else
  io.stderr:write("skipped: no /dev/shm for a move across file systems\n")
end

-- Deletes: only the pattern's files, in every folder with recursion.
os.execute("mkdir -p tmpdel/x/y")
for _, f in ipairs({"a.tmp", "b.txt", "x/c.tmp", "x/d.txt", "x/y/e.tmp"}) do t.write_file("tmpdel/" .. f, f) end
DeleteFile("tmpdel", {pattern = "*.tmp"})
t.eq(listing("tmpdel"), "b.txt,x", "top level only without recursion")
t.eq(Exists("tmpdel/x/c.tmp"), 1)
local deleted = {}
DeleteFile("tmpdel", {pattern = "*.tmp", recursive = 1, callback = function(msg)
  if msg.action == DELETEFILE_STATUS then deleted[#deleted + 1] = msg.file end
end})
table.sort(deleted)
t.eq(table.concat(deleted, ","), "tmpdel/x/c.tmp,tmpdel/x/y/e.tmp")
t.eq(listing("tmpdel/x"), "d.txt,y") t.eq(listing("tmpdel/x/y"), "")
-- Protected files: not without leave.
os.execute("chmod 444 tmpdel/b.txt")
t.expect_error(1143, DeleteFile, "tmpdel/b.txt")
DeleteFile("tmpdel/b.txt", function(msg) return msg.action == DELETEFILE_UNPROTECT and 0 or nil end)
t.eq(Exists("tmpdel/b.txt"), 1, "skipped")
DeleteFile("tmpdel/b.txt", {force = 1})
t.eq(Exists("tmpdel/b.txt"), 0)
-- A read-only folder inside a tree: its files go where the user may delete
-- them (root may), else 1143 names the failure and the rest stays.
os.execute("mkdir -p rotree/locked && echo x > rotree/locked/f && echo y > rotree/g && chmod 555 rotree/locked")
local root = io.popen("id -u"):read("*l") == "0"
if root then
  DeleteFile("rotree")
  t.eq(Exists("rotree"), 0, "root deletes the read-only folder's files")
else
  t.expect_error(1143, DeleteFile, "rotree")
  t.eq(Exists("rotree/locked/f"), 1)
  os.execute("chmod 755 rotree/locked && rm -rf rotree")
end
-- A folder as a whole, links without what they point to.
os.execute("ln -s ../../dst tmpdel/x/outside")
DeleteFile("tmpdel")
t.eq(Exists("tmpdel"), 0) t.eq(Exists("dst/small.txt"), 1, "not through the link")
DeleteFile("tmpdel")  -- missing is fine
t.expect_error(1143, DeleteFile, "tmpdel", {mustexist = 1})
t.expect_error(1055, DeleteFile, "/")
t.expect_error(1055, DeleteFile, "/proc")

-- Async: a handle, stepped by the script until it ends.
local op = CopyFile("src/big.bin", "dst", {async = 1, newname = "async.bin", buffersize = 131072,
  callback = function(msg) end})
assert(type(op) == "userdata", "a handle")
local steps = 0
while ContinueAsyncOperation(op) == 0 do steps = steps + 1 end
assert(steps >= 4, "several steps: " .. steps)
t.eq(#t.read_file("dst/async.bin"), 512 * 1024)
t.expect_error(1041, ContinueAsyncOperation, op)
op = CopyFile("src/big.bin", "dst", {async = 1, newname = "cancelled.bin", buffersize = 65536,
  callback = function() end})
ContinueAsyncOperation(op) ContinueAsyncOperation(op)
CancelAsyncOperation(op)
t.eq(Exists("dst/cancelled.bin"), 0)
t.eq(string.find(listing("dst"), "^%."), nil, "no temporary files left")
-- Left running: the host ends it at the close.
op = DeleteFile("dst/async.bin", {async = 1})
