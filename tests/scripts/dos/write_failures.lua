-- Data that cannot be written is reported, whichever command meets the
-- failure: /dev/full accepts the open and refuses every byte.
local t = require("testing")

local FULL = "/dev/full"
local big = string.rep("b", 100000)

-- Unbuffered lines fail at once; buffered ones when the buffer goes out.
SetIOMode(IO_UNBUFFERED)
OpenFile(1, FULL, MODE_WRITE)
t.expect_error(1005, WriteLine, 1, "lost")
SetIOMode(IO_BUFFERED)
t.expect_error(1005, WriteLine, 1, big)
-- The failed command leaves the file open.
WriteLine(1, "short")
t.expect_error(1005, FlushFile, 1)
WriteLine(1, "pending at the close")
t.expect_error(1005, CloseFile, 1)
t.expect_error(1179, CloseFile, 1)

-- Binary writes pass the host's error on.
OpenFile(2, FULL, MODE_WRITE)
t.expect_error(1005, WriteBytes, 2, big)
t.expect_error(1005, WriteString, 2, big)
-- Reusing the number reports what the replaced file could not write.
WriteByte(2, 1)
t.expect_error(1005, OpenFile, 2, "ok.txt", MODE_WRITE)
t.expect_error(1179, CloseFile, 2)

-- StringToFile: the whole string or an error, small or large.
t.expect_error(1005, StringToFile, "x", FULL)
t.expect_error(1005, StringToFile, big, FULL)
local err = t.expect_error(1052, StringToFile, "x", "no/such/dir/file.txt")
assert(string.find(err, "no/such/dir/file.txt", 1, true), err)
