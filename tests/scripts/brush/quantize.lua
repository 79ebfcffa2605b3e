-- QuantizeBrush, RemapBrush and the quantize draw filter.
local t = require("testing")

-- Ten grey levels kept exactly, in the order first met.
CreateBrush(1, 10, 2, 0)
for x = 0, 9 do
  WriteBrushPixel(1, x, 0, x * 0x111111)
  WriteBrushPixel(1, x, 1, (9 - x) * 0x111111)
end
QuantizeBrush(1, 16)
t.eq(GetAttribute(BRUSH, 1, ATTRDEPTH), 4, "depth holding ten colours")
for x = 0, 9 do
  t.eq(ReadBrushPixel(1, x, 0), x, "pen of first row")
  t.eq(GetBrushPen(1, x), x * 0x111111, "palette in first-met order")
end
t.eq(ReadBrushPixel(1, 0, 1), 9, "second row reuses the pens")
t.eq(GetAttribute(BRUSH, 1, ATTRTRANSPARENTPEN), NOTRANSPARENCY, "nothing hidden")
-- A palette brush quantised again keeps its pens.
QuantizeBrush(1, {colors = 10})
t.eq(ReadBrushPixel(1, 9, 0), 9, "ten into ten")

-- A masked brush gets the transparent colour after its colours.
CreateBrush(2, 4, 1, 0)
WriteBrushPixel(2, 0, 0, 0xFF0000)
WriteBrushPixel(2, 1, 0, 0x00FF00)
WriteBrushPixel(2, 2, 0, 0x0000FF)
WriteBrushPixel(2, 3, 0, 0x00FF00)
SetBrushTransparency(2, 0x0000FF)
QuantizeBrush(2, {colors = 16, transparentcolor = 0xFF00FF})
t.eq(GetAttribute(BRUSH, 2, ATTRTRANSPARENTPEN), 2, "transparent pen after the list")
t.eq(GetBrushPen(2, 2), 0xFF00FF, "transparent colour")
local pen, hidden = ReadBrushPixel(2, 2, 0)
t.eq(pen, 2, "hidden pixel's pen")
t.eq(hidden, 1, "reads as transparent")
t.eq(ReadBrushPixel(2, 3, 0), 1, "green's pen")

-- A chosen transparent pen.
CreateBrush(3, 3, 1, 0)
WriteBrushPixel(3, 0, 0, 0xFF0000)
WriteBrushPixel(3, 1, 0, 0x00FF00)
WriteBrushPixel(3, 2, 0, 0x0000FF)
QuantizeBrush(3, {transparentpen = 0, colors = 8})
t.eq(GetAttribute(BRUSH, 3, ATTRTRANSPARENTPEN), 0, "pen 0 shows transparency")
t.eq(ReadBrushPixel(3, 0, 0), 3, "red moved to the pen it swapped with")
t.eq(GetBrushPen(3, 3), 0xFF0000, "and its colour with it")

-- Bad counts and conflicting options.
CreateBrush(4, 2, 2, 0x123456)
t.expect_error(1650, QuantizeBrush, 4, 0)
t.expect_error(1650, QuantizeBrush, 4, 257)
t.expect_error(1650, QuantizeBrush, 4, {depth = 9})
t.expect_error(1055, QuantizeBrush, 4, {colors = 20, depth = 4})
t.expect_error(1646, QuantizeBrush, 4, {colors = 16, transparentpen = 16})
local gray = CreatePalette(nil, {[0] = 0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF})
t.expect_error(1055, QuantizeBrush, 4, {palette = gray, colors = 4})
t.eq(GetAttribute(BRUSH, 4, ATTRDEPTH), 24, "unchanged after failures")

-- Many colours through median cut.
CreateBrush(5, 30, 10, 0)
for y = 0, 9 do
  for x = 0, 29 do WriteBrushPixel(5, x, y, (x * 8) * 0x10000 + (y * 25) * 0x100 + (x + y) * 4) end
end
QuantizeBrush(5, {colors = 64, dither = true})
t.eq(GetAttribute(BRUSH, 5, ATTRDEPTH), 6, "64 colours")
for y = 0, 9 do
  for x = 0, 29 do t.eq(ReadBrushPixel(5, x, y) < 64, true, "pens within the palette") end
end

-- RemapBrush onto a palette of the palette library.
CreateBrush(6, 3, 1, 0)
WriteBrushPixel(6, 0, 0, 0x101010)
WriteBrushPixel(6, 1, 0, 0x606060)
WriteBrushPixel(6, 2, 0, 0xF0F0F0)
RemapBrush(6, gray)
t.eq(GetAttribute(BRUSH, 6, ATTRDEPTH), 2, "the palette's depth")
t.eq(ReadBrushPixel(6, 0, 0), 0, "nearest grey")
t.eq(ReadBrushPixel(6, 1, 0), 1, "nearest grey")
t.eq(ReadBrushPixel(6, 2, 0), 3, "nearest grey")
t.eq(GetBrushPen(6, 2), 0xAAAAAA, "palette copied")

-- Dithering a middle grey onto black and white mixes both.
CreateBrush(7, 16, 16, 0x808080)
local bw = CreatePalette(nil, {[0] = 0x000000, 0xFFFFFF})
RemapBrush(7, bw, {dither = true})
local white = 0
for y = 0, 15 do
  for x = 0, 15 do white = white + ReadBrushPixel(7, x, y) end
end
t.eq(white > 256 * 2 / 5 and white < 256 * 3 / 5, true, "about half white: " .. white)

-- The quantize filter reduces the colours of what is drawn.
CreateBrush(8, 32, 4, 0)
for x = 0, 31 do
  for y = 0, 3 do WriteBrushPixel(8, x, y, x * 0x080808) end
end
CreateBrush(9, 32, 4, 0)
SelectBrush(9)
DisplayBrush(8, 0, 0, {filters = {[0] = {name = "quantize", args = {[0] = 2, 0}}}})
EndSelect()
local seen, count = {}, 0
for x = 0, 31 do
  local c = ReadBrushPixel(9, x, 0)
  if not seen[c] then
    seen[c] = true
    count = count + 1
  end
end
t.eq(count, 2, "two colours left")

FreePalette(gray)
FreePalette(bw)
