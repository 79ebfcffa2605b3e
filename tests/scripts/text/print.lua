-- Text style, printing and layout through the commands: the style block,
-- the print cursor, TextOut's options and every failure code they reach.
local t = require("testing")

-- Without an output nothing prints; lower-case print is the command too.
t.expect_error(1687, Print, "x")
t.expect_error(1687, print, "x")
t.expect_error(1687, NPrint, "x")
t.expect_error(1687, TextOut, 0, 0, "x")
t.expect_error(1687, Locate, 0, 0)
t.expect_error(1687, SetMargins, 0, 10)
t.expect_error(1687, AddTab, 8)
t.expect_error(1687, ResetTabs)

-- The style block.
SetFontColor(0x123456)
t.eq(GetFontColor(), 0x123456, "font colour")
t.eq(GetBulletColor(), 0x123456, "bullets follow the font colour")
SetBulletColor(0xFF00FF)
t.eq(GetBulletColor(), 0xFF00FF, "bullet colour")
SetFontColor(0xFFFFFFFF)
t.eq(GetFontColor(), 4294967295, "colours come back unsigned")
SetFontColor(0xFFFFFF)  -- the top byte is transparency: 0xFF would draw nothing
SetFontStyle(BOLD)
SetFontStyle(ITALIC)
t.eq(GetFontStyle(), BOLD + ITALIC, "styles accumulate")
SetFontStyle(NORMAL)
t.eq(GetFontStyle(), 0, "NORMAL clears")
SetFontStyle(SHADOW, 0xFF0000, 0, 9)
local style, settings = GetFontStyle()
t.eq(style, SHADOW, "shadow on")
t.eq(settings.shadowsize, 1, "size 0 clamped")
t.eq(settings.shadowdir, 3, "direction 9 becomes south-east")
t.eq(settings.shadowcolor, 0xFF0000, "shadow colour")
SetFontStyle(EDGE, {bordersize = 99, bordercolor = 0x00FF00})
style, settings = GetFontStyle()
t.eq(style, SHADOW + EDGE, "edge added")
t.eq(settings.bordersize, 64, "border size clamped")
t.eq(settings.bordercolor, 0x00FF00, "border colour")
SetFontStyle(NORMAL)

-- Measuring: the height is the font's, whatever the text.
t.eq(TextHeight("a"), TextHeight("Wgj|"), "one height")
local w = TextWidth("a")
assert(w > 0)
t.eq(TextWidth("a[[b]]c"), 7 * TextWidth("["), "TextWidth measures the bytes")
t.eq(TextWidth("ab", {charspacing = 2}), TextWidth("ab") + 4, "char spacing")
local e = TextExtent("ab")
t.eq(e.width, TextWidth("ab"), "extent width")
t.eq(e.height, TextHeight("ab"), "extent height")
assert(e.maxx >= e.minx and e.maxy >= e.miny)
t.expect_error(1584, TextWidth, "a", 2)
t.expect_error(1584, TextExtent, "a", {encoding = 3})
t.expect_error(1585, TextWidth, "\255", 1)

-- Draws `text` with options into a fresh black brush and returns its pixels
-- as one string.
local function render(id, text, options)
  CreateBrush(id, 160, 60, 0)
  SelectBrush(id)
  TextOut(0, 0, text, options)
  EndSelect()
  local rows = {}
  for y = 0, 59 do
    local row = {}
    for x = 0, 159 do row[#row + 1] = string.format("%x", ReadBrushPixel(id, x, y)) end
    rows[#rows + 1] = table.concat(row, ",")
  end
  FreeBrush(id)
  return table.concat(rows, "\n")
end

local blank = render(10, "")
assert(render(10, "a") ~= blank, "TextOut draws")
t.eq(render(10, "a[[b]]c"), render(11, "a[b]c", {useformattags = false}), "doubled brackets")
assert(render(10, "a[[b]]c", {useformattags = false}) ~= render(11, "a[b]c"), "no tags: as written")
t.eq(render(10, "[b]x[/b]y"), render(11, "[b]x[/b][i][/i]y"), "closed tags")
UseFormatTags(false)
t.eq(render(10, "[x]"), render(11, "[[x]]", {useformattags = true}), "UseFormatTags(false) is the default of the option")
UseFormatTags(true)

-- Draw tags: the text goes through the central draw, scaled or turned.
local plain = render(10, "ab")
t.eq(render(10, "ab", {scalex = 1}), plain, "tags that change nothing draw directly")
local wide = render(10, "ab", {scalex = 2, scaley = 2})
assert(wide ~= plain, "scaled")
local function inkRight(picture)
  local right = -1
  for row in string.gmatch(picture, "[^\n]+") do
    local x = 0
    for v in string.gmatch(row, "[^,]+") do
      if v ~= "0" and x > right then right = x end
      x = x + 1
    end
  end
  return right
end
assert(inkRight(wide) > inkRight(plain) * 1.5, "twice as wide: " .. inkRight(wide) .. " " .. inkRight(plain))
assert(render(10, "ab", {rotate = 90}) ~= plain, "turned")
-- An outline font takes the scale itself, and has its size back afterwards.
SetFont(":::default_sans", 16)
local height = TextHeight("ab")
local sharp = render(10, "ab", {scalex = 2, scaley = 2})
t.eq(TextHeight("ab"), height, "the font's own scale is back")
local sansPlain = render(10, "ab")
local ratio = inkRight(sharp) / inkRight(sansPlain)
assert(ratio > 1.6 and ratio < 2.4, "twice as wide: " .. ratio)
SetFont("topaz", 8)
assert(render(10, "ab", {transparency = 128}) ~= plain, "transparent")

-- Lists: every frame shows part of the text; frames beyond the lines fail.
local list = "one\ntwo\nthree"
local full = render(10, list, {listmode = true})
t.eq(render(10, list, {listmode = true, frame = 1}), full, "frame 1 is all")
local firstTwo = render(10, list, {listmode = true, frame = 3})
assert(firstTwo ~= full, "frame 3 of FRAMEMODE_FULL lacks the third line")
t.eq(render(10, "one\ntwo", {listmode = true}), firstTwo, "the first two lines")
t.eq(render(10, list, {listmode = true, framemode = FRAMEMODE_SINGLE, frame = 2}),
     render(11, list, {listmode = true, frame = 2}), "frame 2 is the first line in both modes")

CreateBrush(1, 200, 100, 0)
SelectBrush(1)
t.expect_error(1094, TextOut, 0, 0, list, {listmode = true, frame = 4})
t.expect_error(1094, TextOut, 0, 0, list, {listmode = true, framemode = FRAMEMODE_SINGLE, frame = 5})

-- Failure codes of tags and options.
t.expect_error(1055, TextOut, 0, 0, "ab", {scalex = 0})
t.expect_error(1252, TextOut, 0, 0, "[color=255]blue[/color][/color]")
t.expect_error(1252, TextOut, 0, 0, "a]b")
t.expect_error(1252, TextOut, 0, 0, "[/bulletcolor]")
t.expect_error(1251, TextOut, 0, 0, "[zz]")
t.expect_error(1253, TextOut, 0, 0, "[color]")
t.expect_error(1108, TextOut, 0, 0, "[b")
t.expect_error(1024, TextOut, 0, 0, "[color=\"red\"]")
t.expect_error(1055, TextOut, 0, 0, "[shadow=1,65]")
t.expect_error(1055, TextOut, 0, 0, "[edge=1,9]")
t.expect_error(1055, TextOut, 0, 0, "[color=#NO_SUCH_CONSTANT]")
t.expect_error(1658, TextOut, 0, 0, "[pen=1]")
t.expect_error(1658, TextOut, 0, 0, "[bulletpen=1]")
TextOut(0, 0, "[color=#RED]red[/color] [shadow=#BLACK,2,#SHDWSOUTH]s[/shadow]")
t.expect_error(1055, TextOut, 0, 0, "a", {listmode = true, align = CENTER})
t.expect_error(1055, TextOut, 0, 0, "a\n\t\tb", {listmode = true})
t.expect_error(1055, TextOut, 0, 0, "a\tb", {listmode = true})
t.expect_error(1055, TextOut, 0, 0, "a", {listmode = true, listindent = {[0] = 1, -1}})
t.expect_error(1055, TextOut, 0, 0, "a", {listmode = true, deflistbullet = -1})
t.expect_error(1055, TextOut, 0, 0, "a", {wordwrap = -1})
t.expect_error(1055, TextOut, 0, 0, "a", -90000, -5)
t.expect_error(1055, TextOut, 0, 0, "a", {linespacing = -TextHeight("a") - 1})
local deep = "0"
for level = 1, 32 do deep = deep .. "\n" .. string.rep("\t", level) .. "x" end
t.expect_error(1066, TextOut, 0, 0, deep, {listmode = true})
t.expect_error(1094, TextOut, 0, 0, "a", {frame = 0})
t.expect_error(1598, TextOut, 0, 0, "a", {tabs = 5})
t.expect_error(1598, TextOut, 0, 0, "a", {wraptable = "1"})
t.expect_error(1598, TextOut, 0, 0, "a", {listmode = true, listbullet = 3})
t.expect_error(1189, TextOut, 0, 0, "a", {tabs = {[0] = "x"}})
t.expect_error(1189, TextOut, 0, 0, "a", {wraptable = {[0] = 1, "two"}})
t.expect_error(1154, TextOut, 0, 0, "a", {tabs = {[0] = -1}})
local tabs = {}
for i = 0, 31 do tabs[i] = i * 4 end
t.expect_error(1066, TextOut, 0, 0, "a", {tabs = tabs})
tabs[31] = nil
TextOut(0, 0, "a\tb", {tabs = tabs})
t.expect_error(1584, TextOut, 0, 0, "a", {encoding = 2})
t.expect_error(1585, TextOut, 0, 0, "\255\254", {encoding = 1})
TextOut(0, 0, "soft\194\173hyphen", {encoding = 1, wordwrap = 40})
TextOut(0, 0, "a b c d e f", {align = JUSTIFIED, wordwrap = 60, charspacing = -1, linespacing = 2})
TextOut(CENTER, BOTTOM, "placed")
TextOut(0, 0, "a\nb", {listmode = true, simplelist = true, deflistbullet = BULLET_NUMERIC,
                       listbullet = {[0] = BULLET_UROMAN}, wraptable = {[0] = 0}})
SetFontStyle(ANTIALIAS)  -- topaz 8, the font at start, has no antialiased glyphs
t.expect_error(1255, TextOut, 0, 0, "aa")
t.expect_error(1255, Print, "aa")
SetFontStyle(NORMAL)

-- The print cursor.
t.expect_error(1055, SetMargins, 50, 50)
t.expect_error(1055, SetMargins, 300, 400)
t.expect_error(1337, Locate, CENTER, 0)
t.expect_error(1337, Locate, 0, BOTTOM)
t.expect_error(1337, Locate, RIGHT + 10, 0)
t.expect_error(1154, AddTab, 10, -1)
AddTab(8, 16)
for i = 1, 30 do AddTab(20 + i) end
t.expect_error(1066, AddTab, 99)
ResetTabs()
local many = {}
for i = 1, 33 do many[i] = i end
t.expect_error(1066, AddTab, unpack(many))
AddTab(unpack(many, 1, 32))
ResetTabs()
AddTab(40)
SetMargins(0, 199)
Locate(0, 0)
NPrint("a\tb")
print("lower", "case", 1, nil, true)
Print("[b]tags[/b] and a [[bracket]]")
t.expect_error(1252, Print, "[/color]")
EndSelect()
FreeBrush(1)

-- Palette outputs take pens; asking for a colour switches to RGB.
CreateBrush(4, 40, 20, 0, {depth = 8})
SelectBrush(4)
t.expect_error(1659, TextOut, 0, 0, "[color=1]x")
t.expect_error(1659, TextOut, 0, 0, "a[bulletcolor=1]", {listmode = true})
TextOut(0, 0, "[pen=2]x[/pen][bulletpen=3]", {listmode = true})
TextOut(0, 0, "[color=1]x[/color]", {color = 0xFF0000})
t.expect_error(1658, TextOut, 0, 0, "[pen=1]x", {color = 0xFF0000})
SetFontStyle(ANTIALIAS)  -- dropped where pens are drawn
TextOut(0, 0, "aa")
SetFontStyle(NORMAL)
EndSelect()
FreeBrush(4)

-- 8-bit text: the script's UTF-8 is converted, so both encodings draw the
-- same Latin-1 letters.
t.eq(render(10, "\195\169t\195\169", {encoding = 0}), render(11, "\195\169t\195\169", {encoding = 1}),
     "both encodings")
t.eq(TextWidth("\195\169", 0), TextWidth("e", 0), "one character in 8-bit text")

-- What Print draws: a line break leaves the cursor at the next line's start.
CreateBrush(2, 160, 60, 0)
SelectBrush(2)
NPrint("ab")
Print("cd")
EndSelect()
local printed = {}
for y = 0, 59 do for x = 0, 159 do printed[#printed + 1] = ReadBrushPixel(2, x, y) end end
FreeBrush(2)
local expected = render(3, "ab\ncd")
local got = {}
for y = 0, 59 do
  local row = {}
  for x = 0, 159 do row[#row + 1] = string.format("%x", printed[y * 160 + x + 1]) end
  got[#got + 1] = table.concat(row, ",")
end
t.eq(table.concat(got, "\n"), expected, "NPrint then Print")
