-- A copy that meets a full file system halfway leaves nothing that looks
-- complete. Needs a small tmpfs, which only root can mount.
local t = require("testing")

os.execute("rm -rf small && mkdir -p small")
if os.execute("mount -t tmpfs -o size=256k tmpfs small 2>/dev/null") ~= 0 then
  io.stderr:write("skipped: cannot mount a small file system here\n")
  return
end
local ok, err = pcall(function()
  t.write_file("big.bin", string.rep("x", 1024 * 1024))
  t.expect_error(1005, CopyFile, "big.bin", "small", {buffersize = 65536})
  local left = 0
  for name in DirectoryItems("small") do left = left + 1 end
  t.eq(left, 0, "nothing left on the full file system")
  -- FAILED is asked when a callback is there; false ends quietly.
  local failed = 0
  CopyFile("big.bin", "small", {callback = function(msg)
    if msg.action == COPYFILE_FAILED then failed = failed + 1 return false end
  end})
  t.eq(failed, 1)
  t.eq(Exists("small/big.bin"), 0)
  -- A mount point is not deleted or moved as a whole.
  t.expect_error(1055, DeleteFile, "small")
  t.expect_error(1055, MoveFile, "small", "elsewhere")
  t.eq(GetVolumeInfo("small", FREESPACE) <= 256 * 1024, true)
end)
os.execute("umount small")
if not ok then error(err, 0) end
