-- Text objects through the commands: options, attributes, the transforms,
-- copies, drawing with draw tags, freeing while a draw uses the object, and
-- every failure code the commands reach.
local t = require("testing")

-- The pixel at (x, y) of brush `id` as 0xRRGGBB.
local function pixel(id, x, y)
  return ReadBrushPixel(id, x, y) % 0x1000000
end

local function size(id)
  return GetAttribute(TEXTOBJECT, id, ATTRWIDTH), GetAttribute(TEXTOBJECT, id, ATTRHEIGHT)
end

-- Topaz 8: 8 pixels a character, and a margin of 2 around the text.
SetFontColor(0xFFFFFF)
local a = CreateTextObject(nil, "Hello")
t.eq(type(a), "userdata", "Nil asks for an automatic id")
local w, h = size(a)
t.eq(w, 5 * 8 + 4, "width")
t.eq(h, 8 + 4, "height")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRADJUSTX), -2, "adjust x")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRADJUSTY), -2, "adjust y")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRTEXT), "Hello", "text")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRTYPE), 0, "bitmap font: no vector image")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRDEPTH), 1, "topaz has depth 1")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRTRANSPARENTPEN), -1, "no transparent pen")
t.eq(#GetAttribute(TEXTOBJECT, a, ATTRPALETTE), 0, "no palette")
-- The font's attributes come from the font of the object's request.
t.eq(GetAttribute(TEXTOBJECT, a, ATTRFONTNAME), "topaz", "font name")
t.eq(GetAttribute(TEXTOBJECT, a, ATTRFONTHEIGHT), 8, "font height")
t.expect_error(1080, GetAttribute, TEXTOBJECT, a, 7777)
t.expect_error(1175, GetAttribute, TEXTOBJECT, 99, ATTRWIDTH)

-- Options: noadjust, charspacing, colour, and the positional form.
CreateTextObject(1, "ab", {noadjust = true, charspacing = 3, color = 0xFF0000})
t.eq(GetAttribute(TEXTOBJECT, 1, ATTRADJUSTX), 0, "noadjust")
t.eq(GetAttribute(TEXTOBJECT, 1, ATTRWIDTH), 2 * 11 + 4, "char spacing")
CreateTextObject(2, "a\nbb", RIGHT)
t.eq(GetAttribute(TEXTOBJECT, 2, ATTRHEIGHT), 16 + 4, "two lines")
CreateTextObject(3, "one two three", LEFT, 40)
t.eq(GetAttribute(TEXTOBJECT, 3, ATTRHEIGHT), 3 * 8 + 4, "wrapped at 40")
t.expect_error(1584, CreateTextObject, 4, "x", LEFT, 0, 2)
t.expect_error(1584, CreateTextObject, 4, "x", {encoding = 5})
t.expect_error(1175, GetAttribute, TEXTOBJECT, 4, ATTRWIDTH)
-- Format tags are drawn, and stored as given.
CreateTextObject(5, "[color=#RED]r[/color]w")
t.eq(GetAttribute(TEXTOBJECT, 5, ATTRWIDTH), 2 * 8 + 4, "tags take no room")
t.eq(GetAttribute(TEXTOBJECT, 5, ATTRTEXT), "[color=#RED]r[/color]w", "text with tags")
CreateTextObject(6, "[b]", {useformattags = false})
t.eq(GetAttribute(TEXTOBJECT, 6, ATTRWIDTH), 3 * 8 + 4, "tags off")

-- Drawing: the text's corner goes where it is asked; the planes' margin
-- lies around it.
CreateBrush(10, 80, 40, 0x000000)
SelectBrush(10)
DisplayTextObject(5, 10, 10)
EndSelect()
local function ink(id, x0, y0, w, h, color)
  local n = 0
  for y = y0, y0 + h - 1 do
    for x = x0, x0 + w - 1 do
      if pixel(id, x, y) == color then n = n + 1 end
    end
  end
  return n
end
assert(ink(10, 10, 10, 8, 8, 0xFF0000) > 4, "red r")
t.eq(ink(10, 18, 10, 8, 8, 0xFF0000), 0, "w is not red")
assert(ink(10, 18, 10, 8, 8, 0xFFFFFF) > 4, "white w")
t.eq(ink(10, 0, 0, 80, 10, 0xFFFFFF) + ink(10, 0, 0, 10, 40, 0xFFFFFF), 0, "nothing above or left")
-- Draw tags go through the central draw.
CreateBrush(11, 80, 40, 0x000000)
SelectBrush(11)
DisplayTextObject(5, 10, 10, {transparency = 255})
EndSelect()
t.eq(ink(11, 0, 0, 40, 30, 0x000000), 40 * 30, "fully transparent")
SelectBrush(11)
DisplayTextObject(5, CENTER, CENTER)
EndSelect()
assert(ink(11, 0, 0, 80, 40, 0xFFFFFF) > 4, "position codes")
SelectBrush(11)
local missing = {pcall(DisplayTextObject, 77, 0, 0)}
EndSelect()
assert(string.find(missing[2], "(error 1175)", 1, true), missing[2])
t.expect_error(1687, DisplayTextObject, 5, 0, 0)

-- Transforms: the angle modulo 360, keep-aspect sizes, matrices.
CreateTextObject(20, "Turn")
local bw, bh = size(20)
RotateTextObject(20, 370)
local w370, h370 = size(20)
RotateTextObject(20, 10)
t.eq(select(1, size(20)), w370, "370 is 10 degrees")
RotateTextObject(20, -350)
t.eq(select(1, size(20)), w370, "-350 is 10 degrees")
RotateTextObject(20, 90)
t.eq(select(1, size(20)), bh, "quarter turn: width")
t.eq(select(2, size(20)), bw, "quarter turn: height")
RotateTextObject(20, 0)
ScaleTextObject(20, bw * 2, KEEPASPRAT)
t.eq(select(2, size(20)), bh * 2, "keep aspect")
ScaleTextObject(20, KEEPASPRAT, bh * 3)
t.eq(select(1, size(20)), bw * 3, "keep aspect, other side")
RotateTextObject(20, 90)
t.eq(select(1, size(20)), bh * 3, "turned at its scale")
TransformTextObject(20, 1, 0, 0, 1)
t.eq(select(1, size(20)), bw, "the matrix replaces scale and turn")
TransformTextObject(20, -1, 0, 0, 1)
t.eq(select(1, size(20)), bw, "mirrored")
t.eq(GetAttribute(TEXTOBJECT, 20, ATTRADJUSTX), 2, "adjust follows the matrix")
t.expect_error(1055, ScaleTextObject, 20, KEEPASPRAT, KEEPASPRAT)
t.expect_error(1218, ScaleTextObject, 20, 0, 10)
t.expect_error(1055, TransformTextObject, 20, 1, 1, 1, 1)
t.expect_error(1175, RotateTextObject, 21, 5)
-- Planes too large to have are refused, and the object stays as it was.
t.expect_error(1000, ScaleTextObject, 20, 60000, 60000)
t.expect_error(1000, TransformTextObject, 20, 1e6, 0, 0, 1e6)
t.eq(select(1, size(20)), bw, "unchanged")

-- A scalable font is drawn afresh at the scale: the glyphs are as sharp as
-- the font at that size (fully covered pixels inside the strokes).
SetFont(SANS, 12)
SetFontStyle(ANTIALIAS)
CreateTextObject(30, "IIII")
local sw, sh = size(30)
ScaleTextObject(30, sw * 4, sh * 4)
CreateBrush(31, sw * 4 + 8, sh * 4 + 8, 0x000000)
SelectBrush(31)
DisplayTextObject(30, 4, 4)
EndSelect()
local solid = ink(31, 0, 0, sw * 4 + 8, sh * 4 + 8, 0xFFFFFF)
assert(solid > 4 * 12 * 4, "strokes drawn solid at the scale: " .. solid)
-- Its vector image draws it afresh under draw tags: the same pixels as the
-- object scaled itself.
t.eq(GetAttribute(TEXTOBJECT, 30, ATTRTYPE), 1, "a scalable font's object has a vector image")
CreateTextObject(32, "Vector Aq")
CopyTextObject(32, 33)
ScaleTextObject(33, GetAttribute(TEXTOBJECT, 32, ATTRWIDTH) * 2,
  GetAttribute(TEXTOBJECT, 32, ATTRHEIGHT) * 2)
CreateBrush(34, 200, 60, 0)
CreateBrush(35, 200, 60, 0)
SelectBrush(34)
DisplayTextObject(32, 10, 10, {scalex = 2, scaley = 2})
EndSelect()
SelectBrush(35)
DisplayTextObject(33, 10, 10)
EndSelect()
local same, inked = true, 0
for y = 0, 59 do
  for x = 0, 199 do
    local p = ReadBrushPixel(34, x, y)
    if p ~= ReadBrushPixel(35, x, y) then same = false end
    if p ~= 0 then inked = inked + 1 end
  end
end
assert(same and inked > 100, "scaled by the draw tags as by ScaleTextObject")
FreeBrush(34)
FreeBrush(35)
SetFontStyle(NORMAL)
SetFont(BITMAP_DEFAULT, 8)

-- Copies are independent of their source.
CreateTextObject(40, "copy")
CopyTextObject(40, 41)
RotateTextObject(40, 90)
t.eq(GetAttribute(TEXTOBJECT, 41, ATTRWIDTH), 4 * 8 + 4, "copy keeps its size")
FreeTextObject(40)
t.eq(GetAttribute(TEXTOBJECT, 41, ATTRTEXT), "copy", "copy outlives its source")
local c = CopyTextObject(41, nil)
t.eq(GetAttribute(TEXTOBJECT, c, ATTRWIDTH), 4 * 8 + 4, "automatic copy")
t.expect_error(1055, CopyTextObject, 41, 41)
t.expect_error(1175, CopyTextObject, 40, 42)
-- A copy replaces an object of its id.
CopyTextObject(1, 41)
t.eq(GetAttribute(TEXTOBJECT, 41, ATTRTEXT), "ab", "replaced")
t.expect_error(1175, FreeTextObject, 40)
-- An automatic id that names nothing any more.
FreeTextObject(c)
t.expect_error(1041, FreeTextObject, c)
t.expect_error(1041, GetAttribute, TEXTOBJECT, c, ATTRWIDTH)

-- Freeing while a draw uses the object: the draw finishes with its planes,
-- the id is free at once, and the record goes when the draw ends.
CreateTextObject(50, "busy")
CreateBrush(51, 60, 20, 0x000000)
SelectBrush(51)
local seen = {}
DisplayTextObject(50, 2, 2, setmetatable({}, {__index = function(_, key)
  if not seen.done then
    seen.done = true
    seen.scale = {pcall(ScaleTextObject, 50, 100, 100)}
    -- Replacing it is freeing it: deferred as well.
    CopyTextObject(1, 50)
    seen.copied = GetAttribute(TEXTOBJECT, 50, ATTRTEXT)
    FreeTextObject(50)
    CreateTextObject(50, "new")
  end
  return nil
end}))
EndSelect()
t.eq(seen.done, true, "the tags were read")
assert(not seen.scale[1] and string.find(seen.scale[2], "(error 1314)", 1, true), tostring(seen.scale[2]))
t.eq(seen.copied, "ab", "replaced while drawn")
assert(ink(51, 0, 0, 60, 20, 0xFFFFFF) > 4, "the freed object was drawn")
t.eq(GetAttribute(TEXTOBJECT, 50, ATTRTEXT), "new", "the id was free at once")

-- A finalizer that frees the object inside a command that reads it.
CreateTextObject(60, "final")
local finished = t.finalizer_at_next_allocation(function() FreeTextObject(60) end)
GetAttribute(TEXTOBJECT, 60, ATTRTEXT)
finished()
t.expect_error(1175, FreeTextObject, 60)

-- Objects left alive are freed when the library closes (--check-leaks).
FreeBrush(10)
FreeBrush(11)
FreeBrush(31)
FreeBrush(51)
