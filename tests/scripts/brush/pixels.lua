-- Single pixels, colour replacement and flood fill on true-colour and
-- palette brushes.
local t = require("testing")

-- Reading: position codes, the second value, outside the brush.
CreateBrush(1, 10, 6, 0x102030)
WriteBrushPixel(1, 9, 0, 0xFF445566)  -- the alpha byte of a colour is not stored
local c, second = ReadBrushPixel(1, 9, 0)
t.eq(c, 0x445566, "written colour")
t.eq(second, -1, "no alpha, no mask")
t.eq(ReadBrushPixel(1, RIGHT, TOP), 0x445566, "position codes")
c, second = ReadBrushPixel(1, 10, 0)
t.eq(c, 4294967295, "outside: no colour")
t.eq(second, -1, "outside: -1")
c, second = ReadBrushPixel(1, 0, -1)
t.eq(c, 4294967295, "above the brush")
-- Writing outside changes nothing and is no error.
WriteBrushPixel(1, -1, 3, 0)
WriteBrushPixel(1, 3, 6, 0)

-- Alpha and mask values.
CreateBrush(2, 4, 4, 0, {alphachannel = true})
WriteBrushPixel(2, 1, 1, 0xABCDEF, 99)
c, second = ReadBrushPixel(2, 1, 1)
t.eq(c, 0xABCDEF, "colour")
t.eq(second, 99, "alpha")
WriteBrushPixel(2, 1, 1, 0xABCDEF)
t.eq(select(2, ReadBrushPixel(2, 1, 1)), 255, "no alpha argument is opaque")
t.expect_error(1055, WriteBrushPixel, 2, 0, 0, 0, 256)
CreateBrush(3, 4, 4, 0, {mask = true})
WriteBrushPixel(3, 2, 2, 0x111111, 0)
t.eq(select(2, ReadBrushPixel(3, 2, 2)), 0, "alpha 0 hides the pixel")
WriteBrushPixel(3, 2, 2, 0x111111, 1)
t.eq(select(2, ReadBrushPixel(3, 2, 2)), 1, "any other alpha shows it")

-- Palette brushes: pens below 2^depth.
CreateBrush(4, 4, 4, 0, {depth = 3, transparentpen = 5})
WriteBrushPixel(4, 0, 0, 5)
WriteBrushPixel(4, 1, 0, 7)
c, second = ReadBrushPixel(4, 0, 0)
t.eq(c, 5, "pen")
t.eq(second, 1, "the transparent pen")
t.eq(select(2, ReadBrushPixel(4, 1, 0)), 0, "another pen")
t.expect_error(1646, WriteBrushPixel, 4, 0, 0, 8)
t.expect_error(1646, WriteBrushPixel, 4, 0, 0, -1)

-- ReplaceColors: pairs in list order, later pairs see the earlier results.
CreateBrush(5, 3, 1, RED)
WriteBrushPixel(5, 1, 0, GREEN)
WriteBrushPixel(5, 2, 0, BLUE)
ReplaceColors(5, {[0] = RED, GREEN, GREEN, BLUE})
t.eq(ReadBrushPixel(5, 0, 0), BLUE, "red through green to blue")
t.eq(ReadBrushPixel(5, 1, 0), BLUE, "green to blue")
t.eq(ReadBrushPixel(5, 2, 0), BLUE, "blue stays")
ReplaceColors(5, {[0] = BLUE, WHITE, -1, BLACK, WHITE, RED})
t.eq(ReadBrushPixel(5, 0, 0), WHITE, "the list ends at -1")
t.expect_error(1055, ReplaceColors, 5, {[0] = RED})
t.expect_error(1055, ReplaceColors, 5, {})
t.expect_error(1055, ReplaceColors, 5, {RED, GREEN})  -- index 0 missing: an empty list
t.expect_error(1055, ReplaceColors, 5, {[0] = RED, "green"})
ReplaceColors(4, {[0] = 5, 6, 6, 2})
t.eq(ReadBrushPixel(4, 0, 0), 2, "pens chained")
t.expect_error(1646, ReplaceColors, 4, {[0] = 1, 8})
-- Replacing keeps the alpha channel.
ReplaceColors(2, {[0] = 0xABCDEF, 0x010101})
c, second = ReadBrushPixel(2, 1, 1)
t.eq(c, 0x010101, "replaced")
t.eq(second, 255, "alpha kept")

-- FloodFill: the seed fill takes the 4-connected area of the seed colour.
CreateBrush(6, 7, 5, WHITE)
for y = 0, 4 do WriteBrushPixel(6, 3, y, BLACK) end  -- a wall
WriteBrushPixel(6, 1, 1, BLACK)
FloodFill(6, 0, 0, -1, RED)
t.eq(ReadBrushPixel(6, 0, 4), RED, "left part filled")
t.eq(ReadBrushPixel(6, 2, 2), RED, "around the black pixel")
t.eq(ReadBrushPixel(6, 1, 1), BLACK, "other colours stay")
t.eq(ReadBrushPixel(6, 4, 0), WHITE, "behind the wall")
-- A seed already of the fill colour changes nothing.
FloodFill(6, 0, 0, -1, RED)
t.eq(ReadBrushPixel(6, 1, 1), BLACK, "no change")
-- The boundary fill goes up to the border colour.
FloodFill(6, 6, 4, BLACK, BLUE)
t.eq(ReadBrushPixel(6, 4, 0), BLUE, "right part")
t.eq(ReadBrushPixel(6, 0, 0), RED, "the wall held")
-- Position codes and positions outside.
FloodFill(6, CENTER, 0, -1, GREEN)
t.eq(ReadBrushPixel(6, 3, 4), GREEN, "the wall from its middle")
t.expect_error(1154, FloodFill, 6, -1, 0, -1, RED)
t.expect_error(1217, FloodFill, 6, 7, 0, -1, RED)
t.expect_error(1217, FloodFill, 6, 0, 5, -1, RED)

-- A seed fill on a 2-pixel-wide brush fills down to the first different
-- pixel, and the whole connected area from anywhere in it.
CreateBrush(7, 2, 6, WHITE)
WriteBrushPixel(7, 0, 3, BLACK)
WriteBrushPixel(7, 1, 3, BLACK)
FloodFill(7, 0, 0, -1, RED)
t.eq(ReadBrushPixel(7, 1, 2), RED, "down the columns")
t.eq(ReadBrushPixel(7, 0, 4), WHITE, "not past the black row")
FloodFill(7, 1, 5, -1, BLUE)
t.eq(ReadBrushPixel(7, 0, 4), BLUE, "up and left from the seed")

-- The alpha channel as the surface; the fill's alpha as a second plane.
CreateBrush(8, 4, 1, 0, {alphachannel = true})
WriteBrushPixel(8, 2, 0, BLUE, 10)
FloodFill(8, 0, 0, -1, 40, {alphachannel = true})
t.eq(select(2, ReadBrushPixel(8, 1, 0)), 40, "alpha filled")
t.eq(select(2, ReadBrushPixel(8, 3, 0)), 255, "beyond the other level")
t.expect_error(1646, FloodFill, 8, 0, 0, -1, 256, {alphachannel = true})
t.expect_error(1646, FloodFill, 8, 0, 0, 300, 1, {alphachannel = true})
t.expect_error(1055, FloodFill, 1, 0, 0, -1, 1, {alphachannel = true})
t.expect_error(1055, FloodFill, 8, 0, 0, -1, 1, {alphachannel = true, colorsource = true})
FloodFill(8, 3, 0, -1, ARGB(66, RED), {colorsource = true})
c, second = ReadBrushPixel(8, 3, 0)
t.eq(c, RED, "colour")
t.eq(second, 66, "the fill's alpha")
t.eq(select(2, ReadBrushPixel(8, 2, 0)), 10, "unfilled alpha kept")

-- Palette brushes fill with pens.
CreateBrush(9, 3, 3, 1, {depth = 2})
WriteBrushPixel(9, 1, 1, 2)
FloodFill(9, 0, 0, -1, 3)
t.eq(ReadBrushPixel(9, 2, 2), 3, "pen filled")
t.eq(ReadBrushPixel(9, 1, 1), 2, "other pen kept")
t.expect_error(1646, FloodFill, 9, 0, 0, -1, 4)
t.expect_error(1646, FloodFill, 9, 0, 0, 4, 1)
