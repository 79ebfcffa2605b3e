-- Pens, depths and palettes of palette brushes through the palette sibling,
-- and turning them into true colour.
local t = require("testing")

CreateBrush(1, 4, 2, 0, {depth = 3})
for x = 0, 3 do WriteBrushPixel(1, x, 0, x + 4) end
for x = 0, 3 do WriteBrushPixel(1, x, 1, x) end

-- Pens of the default palette, and setting them.
t.eq(GetBrushPen(1, 2), 0xFF0000, "pen 2 of the default palette")
SetBrushPen(1, 2, 0xFF123456)
t.eq(GetBrushPen(1, 2), 0x123456, "pen colours keep no alpha")
t.expect_error(1646, GetBrushPen, 1, 8)
t.expect_error(1646, SetBrushPen, 1, -1, 0)

-- The transparent pen.
SetBrushTransparentPen(1, 7)
t.eq(GetAttribute(BRUSH, 1, ATTRTRANSPARENTPEN), 7, "set")
t.eq(select(2, ReadBrushPixel(1, 3, 0)), 1, "its pixels are transparent")
t.expect_error(1646, SetBrushTransparentPen, 1, 8)
SetBrushTransparentPen(1, -1)
t.eq(GetAttribute(BRUSH, 1, ATTRTRANSPARENTPEN), NOTRANSPARENCY, "removed")

-- A smaller depth maps the pens beyond it to the nearest colour that stays:
-- pens 0..3 are now black, white, 0x123456 and 0xFEFEFE.
SetBrushPen(1, 3, 0xFEFEFE)
SetBrushPen(1, 6, 0x000001)
SetBrushPen(1, 7, 0xFFFFFF)
SetBrushTransparentPen(1, 5)
SetBrushDepth(1, 2)
t.eq(GetAttribute(BRUSH, 1, ATTRDEPTH), 2, "new depth")
t.eq(ReadBrushPixel(1, 0, 0), 2, "blue pen 4 nearest to 0x123456")
t.eq(ReadBrushPixel(1, 1, 0), 3, "yellow pen 5 nearest to 0xFEFEFE")
t.eq(ReadBrushPixel(1, 2, 0), 0, "pen 6 nearest to black")
t.eq(ReadBrushPixel(1, 3, 0), 1, "pen 7 equal to white: the lower pen")
t.eq(ReadBrushPixel(1, 3, 1), 3, "pens below the depth stay")
t.eq(GetAttribute(BRUSH, 1, ATTRTRANSPARENTPEN), NOTRANSPARENCY, "pen 5 is gone")
t.expect_error(1650, SetBrushDepth, 1, 9)
t.expect_error(1650, SetBrushDepth, 1, 0)
SetBrushDepth(1, 8)
t.eq(GetAttribute(BRUSH, 1, ATTRDEPTH), 8, "a larger depth keeps every pen")

-- Palettes of the palette sibling.
local gray = CreatePalette(nil, {[0] = 0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF})
CreateBrush(2, 2, 1, 0, {palette = gray})
t.eq(GetAttribute(BRUSH, 2, ATTRDEPTH), 2, "palette depth")
WriteBrushPixel(2, 1, 0, 2)
local warm = CreatePalette(nil, {[0] = 0xFF0000, 0x00FF00, 0xA0A0A0, 0x0000FF}, 3)
SetBrushPalette(2, warm)
t.eq(GetBrushPen(2, 0), 0xFF0000, "colours copied")
t.eq(ReadBrushPixel(2, 1, 0), 2, "pens kept")
t.eq(GetAttribute(BRUSH, 2, ATTRTRANSPARENTPEN), 3, "the palette's transparent pen")
-- With remap each pixel keeps its colour as nearly as the new palette allows.
SetBrushPalette(2, gray, {remap = true})
t.eq(ReadBrushPixel(2, 0, 0), 1, "red nearest to 0x555555")
t.eq(ReadBrushPixel(2, 1, 0), 2, "0xA0A0A0 nearest to 0xAAAAAA")
SetBrushPalette(2, -983)
t.eq(GetBrushPen(2, 1), 0xFFFFFF, "the default palette")
t.expect_error(1055, SetBrushPalette, 2, 4711)
FreePalette(warm)
t.expect_error(1055, SetBrushPalette, 2, warm)
t.expect_error(1055, FreePalette, warm)
t.expect_error(1055, FreePalette, -983)
local many = {}
for i = 0, 256 do many[i] = i end
t.expect_error(1650, CreatePalette, 3, many)
many[256] = nil
t.eq(CreatePalette(nil, many) ~= nil, true, "256 colours fit")
t.expect_error(1646, CreatePalette, 3, {[0] = 1, 2}, 2)

-- True-colour brushes have no pens.
CreateBrush(3, 2, 2, RED)
t.expect_error(1644, GetBrushPen, 3, 0)
t.expect_error(1644, SetBrushDepth, 3, 4)
t.expect_error(1644, RemoveBrushPalette, 3)

-- RemoveBrushPalette: colours through the palette, the transparent pen as a
-- mask unless told otherwise.
CreateBrush(4, 3, 1, 1, {depth = 2, transparentpen = 0})
WriteBrushPixel(4, 0, 0, 0)
WriteBrushPixel(4, 2, 0, 2)
CopyBrush(4, 5)
RemoveBrushPalette(4)
t.eq(GetAttribute(BRUSH, 4, ATTRDEPTH), 32, "true colour with a mask")
t.eq(GetAttribute(BRUSH, 4, ATTRHASMASK), 1, "mask")
t.eq(GetAttribute(BRUSH, 4, ATTRTRANSPARENTCOLOR), NOTRANSPARENCY, "no key colour")
local c, shown = ReadBrushPixel(4, 0, 0)
t.eq(shown, 0, "the transparent pen's pixel")
c, shown = ReadBrushPixel(4, 2, 0)
t.eq(c, RED, "pen 2's colour")
t.eq(shown, 1, "shown")
RemoveBrushPalette(5, false)
t.eq(GetAttribute(BRUSH, 5, ATTRDEPTH), 24, "no transparency kept")
t.expect_error(1644, SetBrushPen, 4, 0, 0)

-- The mode word: 0 draws with the pen, 1 matches colours to pens.
t.eq(SetPaletteMode(0), 1, "matching is the start mode")
t.eq(SetPaletteMode(1), 0, "previous mode")
t.expect_error(1055, SetPaletteMode, 2)
