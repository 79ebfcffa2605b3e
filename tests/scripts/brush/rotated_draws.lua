-- Drawing with rotation and 2x2 transforms: raster brushes turned on the
-- way to the output, palette brushes keeping their transparent pen, vector
-- brushes drawn afresh by their function at the drawn size.
local t = require("testing")

CreateBrush(10, 20, 20, 0x000000)  -- the output

-- A 4 x 2 brush turned by 90 degrees lands as 2 x 4: (x, y) from (3 - y, x).
CreateBrush(1, 4, 2)
for y = 0, 1 do
  for x = 0, 3 do WriteBrushPixel(1, x, y, 0x010000 * (y + 1) + x + 1) end
end
SelectBrush(10)
DisplayBrush(1, 5, 5, {rotate = 90})
EndSelect()
for y = 0, 3 do
  for x = 0, 1 do
    t.eq(ReadBrushPixel(10, 5 + x, 5 + y), 0x010000 * (x + 1) + (3 - y) + 1, "turned " .. x .. "," .. y)
  end
end
t.eq(ReadBrushPixel(10, 7, 5), 0, "nothing beside it")

-- 45 degrees: the corners the turn opens are not drawn.
CreateBrush(2, 6, 6, 0xFFFFFF)
SelectBrush(10)
DisplayBrush(2, 0, 0, {rotate = 45})
EndSelect()
t.eq(ReadBrushPixel(10, 0, 0), 0, "corner left alone")
t.eq(ReadBrushPixel(10, 4, 4), 0xFFFFFF, "middle drawn")
-- A singular transform is refused.
SelectBrush(10)
t.expect_error(1055, DisplayBrush, 2, 0, 0, {transform = {[0] = 1, 2, 2, 4}})
EndSelect()

-- Palette brushes: the transparent pen stays transparent after a turn.
CreateBrush(3, 6, 6, 2, {depth = 3, transparentpen = 0})
WriteBrushPixel(3, 0, 0, 0)
CreateBrush(11, 12, 12, 0x123456)
SelectBrush(11)
DisplayBrush(3, 0, 0, {rotate = 30})
EndSelect()
t.eq(ReadBrushPixel(11, 0, 0), 0x123456, "opened corner not drawn")
t.eq(ReadBrushPixel(11, 11, 11), 0x123456, "far corner not drawn")

-- Vector brushes: drawn afresh at the drawn size, with the matrix.
local calls, last = 0, nil
CreateBrush(4, 1, 1, 0xFF0000)
local vec = CreateBrush(nil, 4, 3, 0x0000FF, {callback = function(msg)
  calls = calls + 1
  last = msg
  DisplayBrush(4, 0, 0)
end})
SelectBrush(10)
DisplayBrush(vec, 0, 0)
t.eq(calls, 1, "its own size: the planes it has")
DisplayBrush(vec, 0, 0, {scalex = 2, scaley = 2})
t.eq(calls, 2, "another size: drawn again")
t.eq(last.width, 8, "at the drawn width")
t.eq(last.height, 6, "at the drawn height")
t.eq(last.sx, 2, "with the scale")
DisplayBrush(vec, 0, 0, {rotate = 90})
t.eq(calls, 3, "turned: drawn again")
t.eq(last.width, 3, "the turned box")
t.eq(last.height, 4, "the turned box")
EndSelect()
t.eq(ReadBrushPixel(10, 7, 5), 0x0000FF, "the drawn picture")
t.eq(GetAttribute(BRUSH, vec, ATTRWIDTH), 4, "the brush keeps its size")
FreeBrush(vec)
FreeBrush(1) FreeBrush(2) FreeBrush(3) FreeBrush(4) FreeBrush(10) FreeBrush(11)
