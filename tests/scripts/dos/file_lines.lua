-- ReadLine and WriteLine in both I/O modes, the line-end switch, and the
-- FileLines iterator.
local t = require("testing")

local function lines_of(name, keep)
  local out = {}
  OpenFile(1, name)
  while Eof(1) == 0 do out[#out + 1] = ReadLine(1, keep) end
  t.eq(ReadLine(1), "", "the end of the file reads as an empty line")
  CloseFile(1)
  return table.concat(out, "|")
end

local function both_modes(check)
  check()
  SetIOMode(IO_UNBUFFERED)
  check()
  SetIOMode(IO_BUFFERED)
end

both_modes(function()
  -- A lone CR ends a line just as LF and CR LF do; the byte after it stays.
  t.write_file("cr.txt", "a\rb\n")
  t.eq(lines_of("cr.txt"), "a|b", "a CR b LF")
  t.eq(lines_of("cr.txt", 1), "a\r|b\n", "line ends kept")
  t.write_file("mixed.txt", "one\r\ntwo\n\r\r\nlast")
  t.eq(lines_of("mixed.txt"), "one|two|||last", "mixed line ends, no final LF")
  t.eq(lines_of("mixed.txt", 1), "one\r\n|two\n|\r|\r\n|last", "kept")
  t.write_file("endcr.txt", "x\r")
  t.eq(lines_of("endcr.txt", 1), "x\r", "a CR at the very end")

  -- Only the line is consumed: the next read starts right after its end.
  OpenFile(2, "mixed.txt")
  t.eq(ReadLine(2), "one", "first line")
  t.eq(ReadByte(2), string.byte("t"), "the byte after CR LF")
  t.eq(ReadLine(2), "wo", "rest of the line")
  t.eq(FilePos(2), 9, "position after the LF")
  CloseFile(2)

  -- Lines far longer than any buffer on the way.
  local long = string.rep("0123456789", 10000)
  t.write_file("long.txt", long .. "\r\n" .. long)
  OpenFile(3, "long.txt")
  t.eq(ReadLine(3), long, "first long line")
  t.eq(ReadLine(3), long, "second long line")
  t.eq(Eof(3) ~= 0, true, "at the end")
  CloseFile(3)
end)
t.expect_error(1055, SetIOMode, 2)
t.expect_error(1055, SetIOMode, -1)

-- UTF-8 text loses a leading mark; 8-bit text is converted.
t.write_file("mark.txt", "\239\187\191first\nsecond\n")
t.eq(lines_of("mark.txt"), "first|second", "mark removed with the default encoding")
OpenFile(4, "mark.txt", MODE_READ, {encoding = 1})
t.eq(ReadLine(4), "first", "mark removed for UTF-8 files")
CloseFile(4)
t.write_file("latin.txt", "caf\233\n")
OpenFile(4, "latin.txt", MODE_READ, {encoding = 0})
t.eq(ReadLine(4), "caf\195\169", "8-bit line converted")
CloseFile(4)
-- An encoding the host cannot convert from.
OpenFile(4, "latin.txt", MODE_READ, {encoding = 2})
t.expect_error(1670, ReadLine, 4)
CloseFile(4)

-- WriteLine: CR LF by default, LF after UseCarriageReturn(0), in both modes.
both_modes(function()
  OpenFile(5, "out.txt", MODE_WRITE)
  WriteLine(5, "dos")
  UseCarriageReturn(0)
  WriteLine(5, "unix")
  WriteLine(5, "")
  UseCarriageReturn(1)
  CloseFile(5)
  t.eq(t.read_file("out.txt"), "dos\r\nunix\n\n", "line ends")
end)
OpenFile(5, "out8.txt", MODE_WRITE, {encoding = 0})
WriteLine(5, "caf\195\169")
t.expect_error(1670, WriteLine, 5, "\226\130\172")
CloseFile(5)
t.eq(t.read_file("out8.txt"), "caf\233\r\n", "8-bit file")

-- A file that shrinks under the reader: the read fails before the end the
-- host knew of, and the failure is reported rather than taken as the end.
local chunk = string.rep("x", 99) .. "\n"
t.write_file("shrink.txt", string.rep(chunk, 3000))
OpenFile(6, "shrink.txt")
ReadLine(6)
OpenFile(7, "shrink.txt", MODE_WRITE)
CloseFile(7)
local failed
for i = 1, 3000 do
  local ok, err = pcall(ReadLine, 6)
  if not ok then
    failed = err
    break
  end
end
assert(failed and string.find(failed, "(error 1009)", 1, true), tostring(failed))
CloseFile(6)

-- FileLines: lines without their ends, CRs dropped, long lines in 1024-byte
-- pieces, and no empty line after the final LF.
local function pieces(name)
  local out = {}
  for piece in FileLines(name) do out[#out + 1] = piece end
  return out
end
t.write_file("fl.txt", "one\ntwo\r\nth\rree\n\n")
t.eq(table.concat(pieces("fl.txt"), "|"), "one|two|three|", "lines")
t.write_file("empty.txt", "")
t.eq(#pieces("empty.txt"), 0, "no lines in an empty file")
t.write_file("nolf.txt", "a\nb")
t.eq(table.concat(pieces("nolf.txt"), "|"), "a|b", "last line without LF")
t.write_file("wide.txt", string.rep("w", 1500) .. "\nend\n")
local p = pieces("wide.txt")
t.eq(#p, 3, "a long line in pieces")
t.eq(#p[1], 1024, "first piece")
t.eq(#p[2], 476, "second piece")
t.eq(p[3], "end", "next line")
-- A line of exactly the piece size (or twice it) has no empty piece after it.
t.write_file("exact.txt", string.rep("e", 1024) .. "\n" .. string.rep("f", 2048) .. "\r\nlast")
p = pieces("exact.txt")
t.eq(#p, 4, "pieces of exact lines")
t.eq(p[1], string.rep("e", 1024), "exact line")
t.eq(p[3], string.rep("f", 1024), "second half")
t.eq(p[4], "last", "line after them")
t.write_file("exactend.txt", string.rep("e", 1024) .. "\n")
t.eq(#pieces("exactend.txt"), 1, "exact line at the end")
t.expect_error(1045, FileLines, "missing.txt")

-- The iterator keeps returning nothing after the end.
local it = FileLines("nolf.txt")
t.eq(it(), "a", "first")
t.eq(it(), "b", "second")
t.eq(it(), nil, "end")
t.eq(it(), nil, "still the end")

-- An iteration left early gives its handle back when collected.
local stat = io.open("/proc/self/stat")
local pid = stat:read("*l"):match("^%d+")
stat:close()
local function handles_on(name)
  local ls = io.popen("ls -l /proc/" .. pid .. "/fd")
  local n = 0
  for entry in ls:lines() do
    if string.find(entry, name, 1, true) then n = n + 1 end
  end
  ls:close()
  return n
end
t.write_file("abandoned.txt", "one\ntwo\n")
local function abandon()
  for piece in FileLines("abandoned.txt") do break end
end
collectgarbage("stop")
for i = 1, 5 do abandon() end
t.eq(handles_on("abandoned.txt"), 5, "handles of abandoned iterations before collection")
collectgarbage("restart")
collectgarbage("collect")
t.eq(handles_on("abandoned.txt"), 0, "handles after collection")
