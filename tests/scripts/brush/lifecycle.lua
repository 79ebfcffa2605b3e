-- Brush objects: creating, copying, freeing, emptiness, attributes and
-- conversions of brushes.
local t = require("testing")

-- Sizes and option rules of CreateBrush.
t.expect_error(1218, CreateBrush, 1, 0, 10)
t.expect_error(1218, CreateBrush, 1, 10, -1)
t.expect_error(1055, CreateBrush, 1, 4, 4, {depth = 32, mask = true})
t.expect_error(1055, CreateBrush, 1, 4, 4, {alphachannel = true, mask = true})
t.expect_error(1055, CreateBrush, 1, 4, 4, {depth = 8, hardware = true})
t.expect_error(1055, CreateBrush, 1, 4, 4, {palette = -983, alphachannel = true})
t.expect_error(1055, CreateBrush, 1, 4, 4, {depth = 16})
t.expect_error(1055, CreateBrush, 1, 4, 4, {transparentpen = 0})
t.expect_error(1055, CreateBrush, 1, 4, 4, {}, {})
t.expect_error(1631, CreateBrush, 1, 4, 4, {callback = 5})
t.expect_error(1646, CreateBrush, 1, 4, 4, {depth = 2, fillpen = 4})
t.expect_error(1646, CreateBrush, 1, 4, 4, {depth = 2, transparentpen = 4})
-- Planes too large for any bitmap.
t.expect_error(1522, CreateBrush, 1, 2000000, 1)
t.expect_error(1648, CreateBrush, 1, 2000000, 1, {depth = 4})
t.eq(next(GetObjects(BRUSH)), nil, "no brush made by failures")

-- depth 32 is a 32-bit brush with an alpha channel, opaque unless cleared.
CreateBrush(1, 6, 5, 0x123456, {depth = 32})
t.eq(GetAttribute(BRUSH, 1, ATTRDEPTH), 32, "depth")
t.eq(GetAttribute(BRUSH, 1, ATTRHASALPHA), 1, "alpha")
t.eq(GetAttribute(BRUSH, 1, ATTRHASMASK), 0, "mask")
local rgb, a = ReadBrushPixel(1, 5, 4)
t.eq(rgb, 0x123456, "fill colour")
t.eq(a, 255, "alpha filled")
CreateBrush(2, 3, 3, {alphachannel = true, clear = true})
t.eq(select(2, ReadBrushPixel(2, 1, 1)), 0, "cleared alpha")
t.eq(IsBrushEmpty(2), 1, "cleared alpha is empty")
t.eq(IsBrushEmpty(1), 0, "opaque alpha is not empty")

-- A numbered brush replaces the old one of that number.
CreateBrush(1, 2, 2, 0xFF0000)
t.eq(GetAttribute(BRUSH, 1, ATTRWIDTH), 2, "replaced")
t.eq(GetAttribute(BRUSH, 1, ATTRDEPTH), 24, "plain depth")

-- Automatic identifiers, and the errors for brushes that are gone.
local auto = CreateBrush(nil, 4, 4)
t.eq(type(auto), "userdata", "automatic id")
FreeBrush(auto)
t.expect_error(1041, FreeBrush, auto)
t.expect_error(1174, FreeBrush, 99)
t.expect_error(1174, ReadBrushPixel, 99, 0, 0)

-- Masks: empty only when no bit is set, including the bits of a partial byte.
CreateBrush(3, 11, 2, 0, {mask = true, clear = true})
t.eq(IsBrushEmpty(3), 1, "clear mask")
WriteBrushPixel(3, 10, 1, 0xFFFFFF)
t.eq(IsBrushEmpty(3), 0, "one visible pixel in the last byte")
t.eq(IsBrushEmpty(1), 0, "no transparency planes")

-- Palette brushes: the default palette, the pens, the transparent pen.
CreateBrush(4, 5, 5, 3, {depth = 2, transparentpen = 3})
t.eq(GetAttribute(BRUSH, 4, ATTRDEPTH), 2, "palette depth")
t.eq(GetAttribute(BRUSH, 4, ATTRTRANSPARENTPEN), 3, "transparent pen")
t.eq(GetAttribute(BRUSH, 4, ATTRTRANSPARENTCOLOR), NOTRANSPARENCY, "palette brushes have no colour key")
t.eq(IsBrushEmpty(4), 1, "every pen transparent")
local palette = GetAttribute(BRUSH, 4, ATTRPALETTE)
t.eq(palette[0], 0x000000, "pen 0 of the default palette")
t.eq(palette[1], 0xFFFFFF, "pen 1 of the default palette")
t.eq(palette[4], nil, "four pens at depth 2")
CreateBrush(5, 2, 2, {palette = -983})
t.eq(GetAttribute(BRUSH, 5, ATTRDEPTH), 8, "the default palette's depth")
t.eq(IsBrushEmpty(5), 0, "no transparent pen, never empty")

-- Attributes of true-colour brushes.
t.eq(GetAttribute(BRUSH, 1, ATTRTRANSPARENTPEN), NOTRANSPARENCY, "no pen on true colour")
t.eq(GetAttribute(BRUSH, 1, ATTRTRANSPARENTCOLOR), NOTRANSPARENCY, "no key")
t.eq(GetAttribute(BRUSH, 1, ATTRTYPE), 0, "raster")
t.eq(GetAttribute(BRUSH, 1, ATTRHARDWARE), 0, "software")
t.eq(GetAttribute(BRUSH, 1, ATTRDISPLAY), -1, "no display")
t.eq(GetAttribute(BRUSH, 1, ATTRFORMAT), "", "made, not loaded")
t.eq(GetAttribute(BRUSH, 1, ATTRLOADER), "", "no loader")
t.eq(next(GetAttribute(BRUSH, 1, ATTRCYCLE)), nil, "no cycles")
t.expect_error(1644, GetAttribute, BRUSH, 1, ATTRPALETTE)
t.expect_error(1080, GetAttribute, BRUSH, 1, 2)
-- A mask without a key colour tells no transparent colour.
CreateBrush(6, 2, 2, {mask = true})
t.eq(GetAttribute(BRUSH, 6, ATTRTRANSPARENTCOLOR), NOTRANSPARENCY, "mask without key")
SetBrushTransparency(6, 0xABCDEF)
t.eq(GetAttribute(BRUSH, 6, ATTRTRANSPARENTCOLOR), 0xABCDEF, "key colour")

-- Without hardware bitmaps a hardware brush is an ordinary one.
CreateBrush(7, 3, 3, 0x010203, {hardware = true})
t.eq(GetAttribute(BRUSH, 7, ATTRHARDWARE), 0, "software where no hardware bitmaps exist")

-- CopyBrush: independent planes, every plane and field copied.
t.expect_error(1055, CopyBrush, 1, 1)
CopyBrush(4, 8)
t.eq(GetAttribute(BRUSH, 8, ATTRTRANSPARENTPEN), 3, "pen copied")
t.eq(GetBrushPen(8, 1), 0xFFFFFF, "palette copied")
CreateBrush(9, 4, 3, 0x00FF00, {alphachannel = true})
WriteBrushPixel(9, 1, 1, 0x0000FF, 77)
local copy = CopyBrush(9, nil)
WriteBrushPixel(9, 1, 1, 0xFF0000, 5)
local c, ca = ReadBrushPixel(copy, 1, 1)
t.eq(c, 0x0000FF, "copy keeps its own pixels")
t.eq(ca, 77, "and its own alpha")
CopyBrush(1, 9)
t.eq(GetAttribute(BRUSH, 9, ATTRHASALPHA), 0, "an existing destination is replaced")
t.expect_error(1174, CopyBrush, 42, 43)

-- Conversions: brushes convert; the other sources need their libraries.
ConvertToBrush(BRUSH, 9, 10)
t.eq(GetAttribute(BRUSH, 10, ATTRWIDTH), 2, "converted brush")
local link = GetBrushLink(nil, BRUSH, 4)
t.eq(GetAttribute(BRUSH, link, ATTRDEPTH), 2, "linked palette brush")
t.expect_error(1055, ConvertToBrush, BRUSH, 10, 10)
t.expect_error(1685, ConvertToBrush, 4, 1, 11)
t.expect_error(1685, GetBrushLink, 11, 32, 1)
-- Layers are named by numbers or automatic identifiers; the host's layers
-- library hands out no planes for a conversion.
t.expect_error(1055, ConvertToBrush, 22, "layer", 11)
t.expect_error(1625, ConvertToBrush, 22, 1, 11)
t.expect_error(1055, ConvertToBrush, 77, 1, 11)

-- Every brush is listed once; FreeBrush and library close free them all.
local listed = 0
for _, id in pairs(GetObjects(BRUSH)) do listed = listed + 1 end
t.eq(listed, 12, "brushes listed")
FreeBrush(10)
t.expect_error(1174, GetAttribute, BRUSH, 10, ATTRWIDTH)
