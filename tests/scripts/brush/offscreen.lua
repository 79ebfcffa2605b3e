-- Drawing brushes into brushes without a display: SelectBrush and EndSelect,
-- the target guard, and vector brushes drawn by script functions.
local t = require("testing")

-- Nothing to draw into yet.
CreateBrush(1, 8, 8, BLACK)
CreateBrush(2, 3, 2, RED)
t.expect_error(1687, DisplayBrush, 2, 0, 0)

-- The colours of a brush.
SelectBrush(1)
DisplayBrush(2, 1, 1)
DisplayBrushPart(2, 1, 0, 2, 1, 6, 6)
DisplayBrush(2, RIGHT, BOTTOM)
EndSelect()
t.eq(ReadBrushPixel(1, 1, 1), RED, "drawn")
t.eq(ReadBrushPixel(1, 3, 2), RED, "to the brush's size")
t.eq(ReadBrushPixel(1, 4, 1), BLACK, "not further")
t.eq(ReadBrushPixel(1, 7, 7), RED, "position codes of the target")
t.eq(ReadBrushPixel(1, 6, 6), RED, "the part")
t.expect_error(1687, DisplayBrush, 2, 0, 0)
t.expect_error(1055, EndSelect)

-- Draw tags reach the central draw.
CreateBrush(3, 2, 2, WHITE)
SelectBrush(1)
DisplayBrush(3, 0, 4, {transparency = 255})
EndSelect()
t.eq(ReadBrushPixel(1, 0, 4), BLACK, "fully transparent draw")

-- The target guard: the current output cannot change, a selected brush
-- below it is busy.
SelectBrush(1)
t.expect_error(1149, WriteBrushPixel, 1, 0, 0, WHITE)
t.expect_error(1149, FreeBrush, 1)
t.expect_error(1149, LoadBrush, 1, t.data("images/brush/rgb.bmp"))
t.expect_error(1149, FloodFill, 1, 0, 0, -1, WHITE)
t.expect_error(1149, CreateBrush, 1, 2, 2)
t.expect_error(1314, SelectBrush, 1)
SelectBrush(2)
t.expect_error(1314, FreeBrush, 1)
t.expect_error(1314, CopyBrush, 3, 1)
DisplayBrush(3, 0, 0)
EndSelect()
EndSelect()
t.eq(ReadBrushPixel(2, 1, 1), WHITE, "drawn into the inner selection")
FreeBrush(2)
CreateBrush(2, 3, 2, RED)

-- The mask and the alpha channel of a brush.
CreateBrush(4, 4, 4, GREEN, {mask = true, clear = true})
CreateBrush(5, 2, 2, WHITE)
t.expect_error(1055, SelectBrush, 1, MASK)
t.expect_error(1055, SelectBrush, 4, ALPHACHANNEL)
t.expect_error(1055, SelectBrush, 4, 5)
SelectBrush(4, MASK)
DisplayBrush(5, 1, 1)
EndSelect()
t.eq(select(2, ReadBrushPixel(4, 1, 1)), 1, "mask bit set")
t.eq(select(2, ReadBrushPixel(4, 0, 0)), 0, "others clear")
t.eq(ReadBrushPixel(4, 1, 1), GREEN, "colours untouched")
CreateBrush(6, 4, 4, GREEN, {alphachannel = true, clear = true})
SelectBrush(6, ALPHACHANNEL)
DisplayBrush(5, 2, 2)
EndSelect()
t.eq(select(2, ReadBrushPixel(6, 3, 3)), 255, "alpha drawn")
t.eq(select(2, ReadBrushPixel(6, 1, 1)), 0, "alpha clear")

-- A palette brush takes the nearest pens.
CreateBrush(7, 3, 1, 0, {depth = 2})
SelectBrush(7)
DisplayBrush(2, 0, 0)
EndSelect()
t.eq(ReadBrushPixel(7, 0, 0), 2, "red is pen 2 of the default palette")

-- Vector brushes: a script function draws them, with its table.
local calls, seen = 0, nil
local function draw(msg)
  calls = calls + 1
  seen = msg
  DisplayBrush(2, 0, 0)
end
local vec = CreateBrush(nil, 5, 4, BLUE, {callback = draw, userdata = "mine"})
t.eq(calls, 1, "drawn once when made")
t.eq(seen.action, "Draw", "action")
t.eq(seen.id, vec, "its id")
t.eq(seen.width, 5, "width")
t.eq(seen.sx, 1, "identity")
t.eq(seen.rx, 0, "identity")
t.eq(seen.userdata, "mine", "userdata")
t.eq(GetAttribute(BRUSH, vec, ATTRTYPE), 1, "vector")
t.eq(ReadBrushPixel(vec, 0, 0), RED, "drawn into")
t.eq(ReadBrushPixel(vec, 4, 3), BLUE, "filled")
t.expect_error(1388, WriteBrushPixel, vec, 0, 0, 0)
t.expect_error(1388, SelectBrush, vec)
SelectBrush(1)
t.expect_error(1388, DisplayBrushPart, vec, 0, 0, 1, 1, 0, 0)
DisplayBrush(vec, 0, 0)
EndSelect()
t.eq(ReadBrushPixel(1, 4, 3), BLUE, "a vector brush draws")
local copy = CopyBrush(vec, nil)
t.eq(GetAttribute(BRUSH, copy, ATTRTYPE), 1, "copies stay vector brushes")
FreeBrush(vec)
FreeBrush(copy)

-- A function that fails, or one that frees its own brush, fails the command.
t.expect_error(1900, CreateBrush, 8, 2, 2, {callback = function() error("no picture") end})
t.expect_error(1174, GetAttribute, BRUSH, 8, ATTRWIDTH)
t.expect_error(1149, CreateBrush, 8, 2, 2, {callback = function() FreeBrush(8) end})
-- Selections a function leaves open end with it; it cannot end the ones
-- made outside it.
CreateBrush(9, 2, 2, {callback = function() SelectBrush(5) end})
t.expect_error(1055, EndSelect)
SelectBrush(5)
t.expect_error(1055, CreateBrush, 10, 2, 2, {callback = function() EndSelect() end})
EndSelect()
FreeBrush(5)
