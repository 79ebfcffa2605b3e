-- The geometry commands: sizes, turns, flips, crops, trims, extensions,
-- mixes, rasterizing and textures, on true-colour, palette and vector
-- brushes, with their codes.
local t = require("testing")

local function size(id)
  return GetAttribute(BRUSH, id, ATTRWIDTH), GetAttribute(BRUSH, id, ATTRHEIGHT)
end

-- A 40 x 10 brush whose pixels tell where they came from.
local function striped(id, w, h)
  CreateBrush(id, w, h)
  for y = 0, h - 1 do
    for x = 0, w - 1 do WriteBrushPixel(id, x, y, y * 256 + x) end
  end
end

-- ScaleBrush: the current size changes nothing; percentages and KEEPASPRAT.
striped(1, 40, 10)
ScaleBrush(1, 40, 10)
t.eq(ReadBrushPixel(1, 39, 9), 9 * 256 + 39, "same size: unchanged")
ScaleBrush(1, "50%", KEEPASPRAT)
t.eq(select(1, size(1)), 20, "half the width")
t.eq(select(2, size(1)), 5, "the height follows")
t.eq(ReadBrushPixel(1, 1, 1), 2 * 256 + 2, "plain scaling picks")
t.expect_error(1055, ScaleBrush, 1, KEEPASPRAT, KEEPASPRAT)
t.expect_error(1218, ScaleBrush, 1, 0, 10)
t.expect_error(1174, ScaleBrush, 99, 10, 10)
FreeBrush(1)

-- RotateBrush: 90 and -270 degrees give the same 10 x 40 brush, exactly.
striped(1, 40, 10)
striped(2, 40, 10)
RotateBrush(1, 90)
RotateBrush(2, -270)
t.eq(select(1, size(1)), 10, "turned width")
t.eq(select(2, size(1)), 40, "turned height")
for y = 0, 39 do
  for x = 0, 9 do
    local c = ReadBrushPixel(1, x, y)
    t.eq(c, x * 256 + (39 - y), "quarter turn at " .. x .. "," .. y)
    t.eq(ReadBrushPixel(2, x, y), c, "-270 equals 90")
  end
end
t.eq(GetAttribute(BRUSH, 1, ATTRHASMASK), 0, "a quarter turn opens no corners")
-- 180 degrees equals both flips.
striped(3, 7, 5)
striped(4, 7, 5)
RotateBrush(3, 180)
FlipBrush(4, 1)
FlipBrush(4, 0)
for y = 0, 4 do
  for x = 0, 6 do t.eq(ReadBrushPixel(3, x, y), ReadBrushPixel(4, x, y), "half turn") end
end
t.eq(ReadBrushPixel(4, 0, 0), 4 * 256 + 6, "both flips")
-- Rotation 0 with scale 1 and whole turns keep size and pixels.
RotateBrush(3, 0, 1, 1)
RotateBrush(3, 360)
RotateBrush(3, 720)
t.eq(select(1, size(3)), 7, "whole turns keep the width")
t.eq(select(2, size(3)), 5, "and the height")
t.eq(ReadBrushPixel(3, 0, 0), 4 * 256 + 6, "and the pixels")
t.expect_error(1055, RotateBrush, 3, 45, 0)
t.expect_error(1055, RotateBrush, 3, 45, 1, 0)
-- 45 degrees: a mask hides the corners the turn opened.
RotateBrush(3, 45, 1, 1, 1)
t.eq(GetAttribute(BRUSH, 3, ATTRHASMASK), 1, "the turn made a mask")
local w3, h3 = size(3)
t.eq(select(2, ReadBrushPixel(3, 0, 0)), 0, "corner hidden")
t.eq(select(2, ReadBrushPixel(3, math.floor(w3 / 2), math.floor(h3 / 2))), 1, "middle shown")
FreeBrush(1) FreeBrush(2) FreeBrush(3) FreeBrush(4)

-- TransformBrush: a mirror through the engine keeps every column.
striped(1, 6, 3)
TransformBrush(1, -1, 0, 0, 1)
t.eq(select(1, size(1)), 7, "one column wider")
for x = 0, 5 do t.eq(ReadBrushPixel(1, x, 0), 5 - x, "mirrored column " .. x) end
t.expect_error(1055, TransformBrush, 1, 0, 1, 1, 1)
t.expect_error(1055, TransformBrush, 1, 1, 1, 1, 0)
t.expect_error(1055, TransformBrush, 1, 1, 2, 2, 4)  -- no inverse
-- An output no bitmap can have fails with the allocation code; the brush stays.
t.expect_error(1522, TransformBrush, 1, 1e7, 0, 0, 1)
t.expect_error(1522, ScaleBrush, 1, 2000000, 3)
t.eq(select(1, size(1)), 7, "unchanged after failures")
FreeBrush(1)

-- Palette brushes turn with their pens; the corners take the transparent pen.
CreateBrush(5, 8, 8, 3, {depth = 3, transparentpen = 0})
RotateBrush(5, 30)
local w5, h5 = size(5)
t.eq(ReadBrushPixel(5, 0, 0), 0, "corner is the transparent pen")
t.eq(ReadBrushPixel(5, math.floor(w5 / 2), math.floor(h5 / 2)), 3, "pens kept")
t.eq(GetAttribute(BRUSH, 5, ATTRHASMASK), 0, "no mask on a palette brush with a pen")
FreeBrush(5)

-- FlipBrush refuses vector brushes; CropBrush and its codes.
striped(1, 10, 10)
t.expect_error(1218, CropBrush, 1, 0, 0, 0, 10)
t.expect_error(1154, CropBrush, 1, -1, 0, 5, 5)
t.expect_error(1217, CropBrush, 1, 10, 0, 5, 5)
CropBrush(1, CENTER, CENTER, 4, 4)
t.eq(select(1, size(1)), 4, "cropped width")
t.eq(ReadBrushPixel(1, 0, 0), 3 * 256 + 3, "the centre window")
CropBrush(1, 2, 2, 10, 10)
t.eq(select(1, size(1)), 2, "clipped to the brush")
FreeBrush(1)

-- TrimBrush: nothing transparent returns 0, 0 and keeps the brush.
striped(1, 10, 10)
local x, y = TrimBrush(1)
t.eq(x, 0, "trim x") t.eq(y, 0, "trim y")
t.eq(select(1, size(1)), 10, "untrimmed")
CreateBrush(2, 10, 8, RED, {mask = true})
for yy = 0, 7 do for xx = 0, 9 do WriteBrushPixel(2, xx, yy, RED, 0) end end
WriteBrushPixel(2, 3, 2, GREEN, 1)
WriteBrushPixel(2, 6, 4, BLUE, 1)
x, y = TrimBrush(2)
t.eq(x, 3, "kept x") t.eq(y, 2, "kept y")
t.eq(select(1, size(2)), 4, "trimmed width")
t.eq(select(2, size(2)), 3, "trimmed height")
t.eq(ReadBrushPixel(2, 0, 0), GREEN, "first visible pixel at the corner")
CreateBrush(3, 6, 6, 1, {depth = 2})
x, y = TrimBrush(3)
t.eq(select(1, size(3)), 6, "a palette brush without transparent pen stays")
FreeBrush(1) FreeBrush(2) FreeBrush(3)

-- IsBrushEmpty on made-empty brushes.
CreateBrush(1, 3, 3, 0, {alphachannel = true, clear = true})
t.eq(IsBrushEmpty(1), 1, "cleared alpha is empty")
FreeBrush(1)

-- ExtendBrush: 10 x 10 by 2 left and right gives 14 x 10, the picture at x 2.
striped(1, 10, 10)
ExtendBrush(1, 2, 0, 2, 0, {color = BLUE})
t.eq(select(1, size(1)), 14, "extended width")
t.eq(select(2, size(1)), 10, "same height")
t.eq(ReadBrushPixel(1, 2, 0), 0, "old picture at x = 2")
t.eq(ReadBrushPixel(1, 0, 0), BLUE, "border colour")
t.expect_error(1055, ExtendBrush, 1, -1, 0, 0, 0)
CreateBrush(2, 4, 4, 0, {mask = true})
ExtendBrush(2, 1, 1, 1, 1)
t.eq(select(2, ReadBrushPixel(2, 0, 0)), 0, "mask borders are transparent")
t.eq(select(2, ReadBrushPixel(2, 1, 1)), 1, "the old mask inside")
CreateBrush(3, 4, 4, 1, {depth = 2})
t.expect_error(1646, ExtendBrush, 3, 1, 1, 1, 1, {pen = 4})
ExtendBrush(3, 1, 0, 0, 0, {pen = 3})
t.eq(ReadBrushPixel(3, 0, 0), 3, "palette border pen")
t.eq(ReadBrushPixel(3, 1, 0), 1, "old pens")
ExtendBrush(3, 0, 0, 1, 0, {pen = 3, clear = true})
t.eq(ReadBrushPixel(3, 5, 0), 0, "clear leaves pen 0")
t.expect_error(1648, ExtendBrush, 3, 2147483647, 0, 1, 0)
FreeBrush(1) FreeBrush(2) FreeBrush(3)

-- MixBrush: a 10 x 10 and a 20 x 5 brush mix only the 10 x 5 area.
CreateBrush(1, 10, 10, 0x000000)
CreateBrush(2, 20, 5, 0xFFFFFF)
MixBrush(1, 2, 128)
t.eq(ReadBrushPixel(1, 9, 4), 0x7F7F7F, "mixed")
t.eq(ReadBrushPixel(1, 9, 5), 0, "outside the common area")
MixBrush(1, 2, 300)
t.eq(ReadBrushPixel(1, 0, 0), 0xFEFEFE, "level clamped to 255")
t.eq(ReadBrushPixel(2, 0, 0), 0xFFFFFF, "brush 2 only read")
CreateBrush(3, 4, 4, 1, {depth = 2})  -- pens of the default palette
MixBrush(3, 2, 255)
t.eq(GetAttribute(BRUSH, 3, ATTRDEPTH), 2, "a palette brush stays one")
FreeBrush(1) FreeBrush(2) FreeBrush(3)

-- RasterizeBrush and vector brushes drawn afresh at new sizes.
local calls, last = 0, nil
CreateBrush(2, 1, 1, GREEN)
local vec = CreateBrush(nil, 8, 6, BLUE, {callback = function(msg)
  calls = calls + 1
  last = msg
  DisplayBrush(2, 0, 0)
end})
ScaleBrush(vec, 16, 12)
t.eq(calls, 2, "scaling draws again")
t.eq(last.width, 16, "at the new width")
t.eq(last.sx, 2, "with the scale")
t.eq(ReadBrushPixel(vec, 15, 11), BLUE, "filled at the new size")
t.eq(ReadBrushPixel(vec, 0, 0), GREEN, "drawn by the script")
RotateBrush(vec, 90)
t.eq(calls, 3, "turning draws again")
t.eq(last.width, 6, "the picture's box")
t.eq(last.height, 8, "turned")
t.near(last.rx, -1, 1e-9, "the matrix reaches the script")
t.expect_error(1388, FlipBrush, vec, 1)
RasterizeBrush(vec)
t.eq(GetAttribute(BRUSH, vec, ATTRTYPE), 0, "raster now")
t.expect_error(1055, RasterizeBrush, vec)
ScaleBrush(vec, 3, 3)
t.eq(calls, 3, "a raster brush is not drawn again")
FreeBrush(vec)
-- The script cannot free the brush it is drawing.
local freed
local vec2 = CreateBrush(nil, 4, 4, BLUE, {callback = function()
  if freed == nil then freed = false return end
  freed = pcall(FreeBrush, vec2)
end})
ScaleBrush(vec2, 8, 8)
t.eq(freed, false, "busy while it draws")
FreeBrush(vec2)
FreeBrush(2)

-- CreateTexturedBrush: the source repeated from an offset.
striped(1, 3, 2)
CreateTexturedBrush(2, 1, 7, 5, 1, 1)
t.eq(select(1, size(2)), 7, "textured width")
t.eq(ReadBrushPixel(2, 0, 0), 256 + 1, "from the offset")
t.eq(ReadBrushPixel(2, 2, 0), 256 + 0, "wrapped")
t.eq(ReadBrushPixel(2, 0, 1), 1, "wrapped rows")
t.expect_error(1218, CreateTexturedBrush, 3, 1, 0, 5)
t.expect_error(1055, CreateTexturedBrush, 1, 1, 5, 5)
CreateBrush(4, 2, 2, 2, {depth = 3})
local tex = CreateTexturedBrush(nil, 4, 5, 5)
t.eq(GetAttribute(BRUSH, tex, ATTRDEPTH), 3, "palette source, palette brush")
t.eq(ReadBrushPixel(tex, 4, 4), 2, "pens repeated")
FreeBrush(tex) FreeBrush(1) FreeBrush(2) FreeBrush(4)

-- CreateGradientBrush: a new 24-bit brush filled by the gradient.
local gb = CreateGradientBrush(nil, 16, 16, LINEAR, 0x000000, 0xFFFFFF, 0)
t.eq(GetAttribute(BRUSH, gb, ATTRDEPTH), 24, "a 24-bit brush")
t.eq(select(1, size(gb)), 16, "of the size")
local first, last = ReadBrushPixel(gb, 0, 0), ReadBrushPixel(gb, 15, 15)
t.eq(first ~= last, true, "the colours run from one end to the other")
CreateGradientBrush(1, 8, 8, RADIAL, 0xFF0000, 0x0000FF, {centerx = 0.5, centery = 0.5})
t.eq(ReadBrushPixel(1, 4, 4) ~= ReadBrushPixel(1, 0, 0), true, "radial")
t.expect_error(1218, CreateGradientBrush, 2, 0, 8, LINEAR, 0, 0xFFFFFF)
t.expect_error(1055, CreateGradientBrush, 2, 8, 8, 9, 0, 0xFFFFFF)
t.expect_error(1174, GetAttribute, BRUSH, 2, ATTRWIDTH)
FreeBrush(gb) FreeBrush(1)

-- The target guard.
CreateBrush(1, 4, 4)
SelectBrush(1)
t.expect_error(1149, RotateBrush, 1, 45)
t.expect_error(1149, CropBrush, 1, 0, 0, 2, 2)
EndSelect()
FreeBrush(1)
