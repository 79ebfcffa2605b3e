-- Trees copied, moved and deleted without a callback, whose top folders are
-- walked by worker threads: the same results, failures and leftovers as a
-- walk on the script thread.
local t = require("testing")

local function sh(command)
  assert(os.execute(command) == 0, command)
end

-- Every entry below `folder` with its kind, permission bits, size and link
-- target, one a line, sorted.
local function inventory(folder)
  local p = io.popen("cd '" .. folder .. "' && find . -mindepth 1 \\( -type d -printf '%P d %m\\n' \\) " ..
                     "-o -printf '%P %y %m %s %l\\n' | sort")
  local text = p:read("*a")
  p:close()
  return text
end

local function count(folder, kind)
  local p = io.popen("find '" .. folder .. "' -type " .. kind .. " | wc -l")
  local n = tonumber(p:read("*l"))
  p:close()
  return n
end

-- Every file left below `copy` is whole: the same bytes as its source, and no
-- temporary file beside it. Returns the number of files.
local function onlyWholeFiles(copy, source)
  local p = io.popen("diff -rq --no-dereference '" .. source .. "' '" .. copy .. "' 2>&1")
  for line in p:lines() do
    assert(string.find(line, "^Only in " .. source), line)
  end
  p:close()
  t.eq(count(copy, "f -name '.*'"), 0, "temporary files")
  return count(copy, "f")
end

-- Eight folders at the top, two levels deep, files of several sizes and
-- permission bits, an empty folder, a link and a pipe.
sh("rm -rf tree dst moved && mkdir -p dst")
for d = 1, 8 do
  local dir = "tree/d" .. d
  sh("mkdir -p " .. dir .. "/inner/deep")
  for f = 1, 12 do
    t.write_file(dir .. "/f" .. f .. ".txt", string.rep(string.char(64 + f), d * f * 37))
  end
  t.write_file(dir .. "/inner/a.tmp", "a" .. d)
  t.write_file(dir .. "/inner/deep/b.tmp", "b" .. d)
  t.write_file(dir .. "/inner/deep/c.txt", "c" .. d)
  sh("chmod 600 " .. dir .. "/f1.txt && chmod 755 " .. dir .. "/f2.txt && chmod 444 " .. dir .. "/f3.txt")
end
t.write_file("tree/d4/big.bin", string.rep("0123456789abcdef", 65536 * 3))  -- 3 MiB in one folder
t.write_file("tree/top.txt", "top")
sh("mkdir -p tree/empty && ln -s ../top.txt tree/d2/link && mkfifo tree/d5/pipe")

-- A copy: byte for byte, bit for bit; the link a link, the pipe left out.
CopyFile("tree", "dst")
local expected = string.gsub(inventory("tree"), "d5/pipe p [^\n]*\n", "")
t.eq(inventory("dst/tree"), expected, "the copy's entries")
t.eq(onlyWholeFiles("dst/tree", "tree"), 8 * 15 + 2, "files copied")
t.eq(Exists("dst/tree/d5/pipe"), 0, "pipes are not copied")
-- Again over itself: every file replaced, nothing beside them.
CopyFile("tree", "dst", {force = 1})
t.eq(inventory("dst/tree"), expected, "copied over the copy")

-- A pattern for the folders too: only those named, with only the names
-- matching inside.
sh("cp tree/top.txt tree/d3/d3")
CopyFile("tree", "dst", {newname = "some", pattern = "d[13]", matchdir = 1})
t.eq(inventory("dst/some"), "d1 d 755\nd3 d 755\nd3/d3 f 644 3 \n", "matched folders")
sh("rm tree/d3/d3")

-- A tree with one folder at its top and a file beside it: the folders below
-- are shared, the rest walked around them.
sh("mkdir -p outer && cp -a tree outer/ && rm outer/tree/d5/pipe && chmod -R u+w outer")
t.write_file("outer/readme", "outer")
CopyFile("outer", "dst")
t.eq(inventory("dst/outer"), inventory("outer"), "one folder at the top")
sh("chmod 444 dst/outer/tree/d8/inner/deep/b.tmp")
t.expect_error(1143, DeleteFile, "dst/outer")
t.eq(Exists("dst/outer/tree/d8/inner/deep/b.tmp"), 1, "the protected file stays")
DeleteFile("dst/outer", {force = 1})
t.eq(Exists("dst/outer"), 0)

-- A pattern with recursion deletes the matches in every folder, and only them.
DeleteFile("dst/tree", {pattern = "*.tmp", recursive = 1})
t.eq(count("dst/tree", "f"), 8 * 13 + 2, "the rest stays")
for d = 1, 8 do
  t.eq(Exists("dst/tree/d" .. d .. "/inner/a.tmp"), 0)
  t.eq(Exists("dst/tree/d" .. d .. "/inner/deep/b.tmp"), 0)
  t.eq(Exists("dst/tree/d" .. d .. "/inner/deep/c.txt"), 1)
end
-- Without recursion, only the top.
t.write_file("dst/tree/x.tmp", "x")
sh("cp dst/tree/d1/f4.txt dst/tree/d1/y.tmp")
DeleteFile("dst/tree", {pattern = "*.tmp"})
t.eq(Exists("dst/tree/x.tmp"), 0) t.eq(Exists("dst/tree/d1/y.tmp"), 1)
-- Folders matched as a whole go with everything in them.
DeleteFile("dst/tree", {pattern = "d[2-4]", matchdir = 1, force = 1})
for d = 1, 8 do
  t.eq(Exists("dst/tree/d" .. d), (d >= 2 and d <= 4) and 0 or 1, "d" .. d)
end

-- A protected file deep in one folder: the delete fails as it does on the
-- script thread, and the file stays.
sh("chmod -R u+w dst/tree && chmod 444 dst/tree/d6/inner/deep/c.txt")
t.expect_error(1143, DeleteFile, "dst/tree")
t.eq(Exists("dst/tree/d6/inner/deep/c.txt"), 1, "the protected file stays")
t.eq(Exists("dst/tree"), 1)
DeleteFile("dst/tree", {force = 1})
t.eq(Exists("dst/tree"), 0, "forced, all of it goes")

-- A copy that fails in one folder: the failure with its path, and every file
-- that was placed is whole.
sh("mkdir -p dst/tree/d7/f5.txt")
local err = t.expect_error(1052, CopyFile, "tree", "dst")
assert(string.find(err, "dst/tree/d7/f5.txt", 1, true), err)
sh("rmdir dst/tree/d7/f5.txt")
onlyWholeFiles("dst/tree", "tree")
DeleteFile("dst/tree", {force = 1})
t.eq(Exists("dst/tree"), 0)

-- Across file systems a move copies and deletes: the source goes whole,
-- folders after their contents.
local shm = "/dev/shm/tessera-shared-" .. tostring(os.time()) .. "-" .. tostring(math.random(1e6))
if IsDirectory("/dev/shm") == 1 then
  sh("cp -a tree moved && rm moved/d5/pipe && chmod -R u+w moved")
  MoveFile("moved", shm)
  t.eq(Exists("moved"), 0, "the source went")
  t.eq(inventory(shm .. "/moved"), (string.gsub(expected, " f 444 ", " f 644 ")), "moved whole")
  DeleteFile(shm)
  t.eq(Exists(shm), 0)
else
  io.stderr:write("skipped: no /dev/shm for a move across file systems\n")
end

-- A full file system met in one folder: the write failure, and nothing that
-- looks complete. Needs a small tmpfs, which only root can mount.
sh("rm -rf small && mkdir -p small")
if os.execute("mount -t tmpfs -o size=1m tmpfs small 2>/dev/null") == 0 then
  local ok, failure = pcall(function()
    t.expect_error(1005, CopyFile, "tree", "small")
    onlyWholeFiles("small/tree", "tree")
  end)
  os.execute("umount small")
  if not ok then error(failure, 0) end
else
  io.stderr:write("skipped: cannot mount a small file system here\n")
end

-- The whole tree deleted: nothing left.
DeleteFile("tree", {force = 1})
t.eq(Exists("tree"), 0)
