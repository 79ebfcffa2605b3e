-- Script code inside a command (metamethods of argument tables, finalizers
-- run by the interpreter's allocations) cannot free, replace or close the
-- records the command is using: they are pinned until the command ends.
local t = require("testing")

-- A tag table whose every field read runs `fn`.
local function tags_running(fn)
  return setmetatable({}, {__index = function() fn() end})
end

-- Brushes: the drawn brush is busy while its tags are read.
CreateBrush(40, 10, 10, RED)
CreateBrush(41, 20, 20)
SelectBrush(41)
local inside = {}
DisplayBrush(40, 0, 0, tags_running(function()
  inside.free = {pcall(FreeBrush, 40)}
  inside.replace = {pcall(CreateBrush, 40, 2, 2)}
  inside.change = {pcall(WriteBrushPixel, 40, 0, 0, BLUE)}
end))
t.eq(inside.free[1], false, "free refused while drawn")
t.expect_error(1314, error, inside.free[2])
t.expect_error(1314, error, inside.replace[2])
t.expect_error(1314, error, inside.change[2])
t.eq(ReadBrushPixel(41, 9, 9), RED, "drawn in full")
t.eq(GetAttribute(BRUSH, 40, ATTRWIDTH), 10, "unchanged")
-- The pin ends with the command: the brush is free to go now.
WriteBrushPixel(40, 0, 0, BLUE)

-- The output ends and goes while the tags are read: the draw finds the
-- output again after them.
local gone = false
t.expect_error(1687, DisplayBrush, 40, 0, 0, tags_running(function()
  if gone then return end
  gone = true
  EndSelect()
  FreeBrush(41)
end))
t.eq(pcall(GetAttribute, BRUSH, 41, ATTRWIDTH), false, "the output is gone")

-- An error raised inside the command still ends its pins.
CreateBrush(42, 4, 4)
SelectBrush(42)
t.expect_error(1314, DisplayBrush, 40, 0, 0, tags_running(function() FreeBrush(40) end))
EndSelect()
FreeBrush(40)
FreeBrush(42)

-- Palette operations read their options with the pens locked.
CreateBrush(50, 10, 10, 1, {depth = 8})
SetBrushPalette(50, -983, setmetatable({}, {__index = function()
  inside.palette = {pcall(FreeBrush, 50)}
  return true
end}))
t.expect_error(1314, error, inside.palette[2])

-- A finalizer that frees the brush whose palette table is being built.
local finished = t.finalizer_at_next_allocation(function() FreeBrush(50) end)
local palette = GetAttribute(BRUSH, 50, ATTRPALETTE)
local result = finished()
t.eq(result[1], false, "finalizer refused")
t.expect_error(1314, error, result[2])
t.eq(palette[255], GetAttribute(BRUSH, 50, ATTRPALETTE)[255], "palette read whole")
FreeBrush(50)

-- Pins end in coroutines that fail and in pcall alike.
CreateBrush(51, 4, 4)
CreateBrush(52, 4, 4)
SelectBrush(52)
local co = coroutine.create(function()
  DisplayBrush(51, 0, 0, tags_running(function() error("stop") end))
end)
t.eq(coroutine.resume(co), false, "coroutine failed")
t.eq(select(2, pcall(coroutine.wrap(function()
  DisplayBrush(51, 0, 0, tags_running(function() error("stop") end))
end))):find("stop", 1, true) ~= nil, true, "wrapped coroutine's error")
t.eq(xpcall(function() DisplayBrush(51, 0, 0, tags_running(function() error("x") end)) end,
            function(e) return e end), false, "xpcall")
EndSelect()
FreeBrush(51)
FreeBrush(52)

-- Displays: a finalizer that frees, closes or resizes the display whose
-- attribute table is being built.
CreateDisplay(1, {width = 16, height = 8, palette = -983})
CreateDisplay(2, {width = 16, height = 8})
OpenDisplay(2)
finished = t.finalizer_at_next_allocation(function()
  return {pcall(FreeDisplay, 1)}, {pcall(SetDisplayAttributes, {width = 30})}
end)
palette = GetAttribute(DISPLAY, 1, ATTRPALETTE)
result = finished()
t.expect_error(1504, error, result[2][2])
t.eq(type(palette), "table", "palette of the display")
FreeDisplay(1)

-- The current display is kept while its new attributes are read.
CreateDisplay(4, {width = 16, height = 8})
SelectDisplay(2)
inside = {}
SetDisplayAttributes(setmetatable({}, {__index = function(_, key)
  if key == "width" then
    OpenDisplay(4)
    SelectDisplay(4)
    inside.free = {pcall(FreeDisplay, 2)}
    inside.close = {pcall(CloseDisplay, 2)}
    return 20
  end
end}))
t.expect_error(1504, error, inside.free[2])
t.expect_error(1525, error, inside.close[2])
t.eq(GetAttribute(DISPLAY, 2, ATTRWIDTH), 20, "changed the display it found")
SelectDisplay(2)
FreeDisplay(4)

-- The display that is the output goes while the tags are read.
CreateBrush(60, 4, 4, GREEN)
CreateDisplay(3, {width = 16, height = 8})
OpenDisplay(3)
SelectDisplay(3)
gone = false
DisplayBrush(60, 0, 0, tags_running(function()
  if gone then return end
  gone = true
  SelectDisplay(2)
  FreeDisplay(3)
end))
FreeBrush(60)

-- Files: a finalizer closes the file while a long line is read from it.
local line = string.rep("x", 200000)
t.write_file("long.txt", line .. "\nnext\n")
for _, mode in ipairs({IO_BUFFERED, IO_UNBUFFERED}) do
  SetIOMode(mode)
  OpenFile(1, "long.txt")
  finished = t.finalizer_at_next_allocation(function() CloseFile(1) end)
  local read = ReadLine(1)
  result = finished()
  t.eq(result[1], true, "close taken")
  t.eq(read, line, "line read whole")
  t.expect_error(1179, ReadLine, 1)
end
SetIOMode(IO_BUFFERED)
-- A short line is copied out of the file's buffer before the interpreter runs
-- anything: read whole, the close taken at once.
OpenFile(1, "long.txt")
ReadLine(1)
finished = t.finalizer_at_next_allocation(function() CloseFile(1) end)
t.eq(ReadLine(1), "next", "short line read whole")
t.eq(finished()[1], true, "close taken")
t.expect_error(1179, Eof, 1)
-- Character by character through a growing buffer.
OpenFile(1, "long.txt")
finished = t.finalizer_at_next_allocation(function() CloseFile(1) end)
t.eq(ReadString(1, 150000, 1), string.rep("x", 150000), "characters read whole")
t.eq(finished()[1], true, "close taken")
t.expect_error(1179, FilePos, 1)
