-- Opening and sharing fonts, font handles and their attributes.
local t = require("testing")

-- The default bitmap font is topaz 8 itself; usepoints is refused for it.
SetFont(BITMAP_DEFAULT, 8)
t.eq(GetKerningPair("A", "V"), 0, "bitmap fonts without a kerning table")
OpenFont(1, BITMAP_DEFAULT, 8)
t.eq(GetAttribute(FONT, 1, ATTRFONTNAME), "topaz", "topaz name")
t.eq(GetAttribute(FONT, 1, ATTRFONTHEIGHT), 8, "topaz height")
t.eq(GetAttribute(FONT, 1, ATTRFONTASCENDER), 6, "topaz ascender")
t.eq(GetAttribute(FONT, 1, ATTRFONTTYPE), FONTTYPE_BITMAP, "topaz type")
t.eq(GetAttribute(FONT, 1, ATTRFONTENGINE), FONTENGINE_NATIVE, "topaz engine")
t.eq(GetAttribute(FONT, 1, ATTRFONTFORMAT), "Amiga bitmap", "topaz format")
t.eq(GetAttribute(FONT, 1, ATTRFONTDEPTH), 1, "topaz depth")
t.eq(#GetCharMaps() + (GetCharMaps()[0] and 1 or 0), 0, "bitmap fonts have no charmaps")
t.expect_error(1055, SetFont, BITMAP_DEFAULT, 8, {usepoints = true})

-- The stored sans: pixel sizes name the ink height; shared between requests.
OpenFont(2, SANS, 20)
OpenFont(3, SANS, 20)
t.eq(GetAttribute(FONT, 2, ATTRFONTNAME), "Bitstream Vera Sans", "sans name")
t.eq(GetAttribute(FONT, 2, ATTRFONTFORMAT), "TrueType", "sans format")
t.eq(GetAttribute(FONT, 2, ATTRFONTENGINE), FONTENGINE_INBUILT, "sans engine")
t.eq(GetAttribute(FONT, 2, ATTRFONTTYPE), FONTTYPE_VECTOR, "sans type")
t.eq(GetAttribute(FONT, 2, ATTRFONTHEIGHT), 20, "sans height")
t.eq(GetAttribute(FONT, 2, ATTRFONTSCALABLE), true, "sans scalable")
OpenFont(4, SANS, 20, {cache = false})
t.eq(GetAttribute(FONT, 4, ATTRFONTHEIGHT), 20, "uncached sans height")

OpenFont(5, SERIF, 12)
t.eq(GetAttribute(FONT, 5, ATTRFONTNAME), "Bitstream Vera Serif", "serif name")
local mono = OpenFont(nil, MONOSPACE, 12)
t.eq(GetAttribute(FONT, mono, ATTRFONTNAME), "Bitstream Vera Sans Mono", "mono name")
CloseFont(mono)

-- Charmaps of the current font; kerning in pixels and font units.
UseFont(2)
local maps = GetCharMaps()
t.eq(maps[0], CHARMAP_APPLEROMAN, "Vera's first charmap")
t.eq(maps[1], CHARMAP_UNICODE, "Vera's second charmap")
t.eq(maps[2], nil, "two charmaps")
t.expect_error(1584, GetKerningPair, "A", "V", 2)
t.eq(GetKerningPair("A", "V", 1), -131, "kerning of AV in font units")
t.eq(GetKerningPair(65, 86) < 0, true, "kerning of AV in pixels")
t.eq(GetKerningPair("A", "B", 1), 0, "no kerning of AB")

-- Unknown fonts and handles.
t.expect_error(1064, SetFont, "No Such Font Anywhere", 12)
t.expect_error(1334, UseFont, 99)
t.expect_error(1334, CloseFont, 99)
t.expect_error(1080, GetAttribute, FONT, 2, 9999)

FreeGlyphCache()
FreeGlyphCache(2)
CloseFont(1)
CloseFont(2)
t.expect_error(1334, UseFont, 2)

-- The native engine: a system face by family name (the stored Vera files are
-- installed as system fonts too), style words taken from the name, and no
-- substitute family.
SetFont("Bitstream Vera Sans", 16, {engine = FONTENGINE_NATIVE})
OpenFont(6, "Bitstream Vera Sans", 16)
t.eq(GetAttribute(FONT, 6, ATTRFONTENGINE), FONTENGINE_NATIVE, "system engine")
t.eq(GetAttribute(FONT, 6, ATTRFONTFORMAT), "TrueType", "system format")
t.eq(GetAttribute(FONT, 6, ATTRFONTHEIGHT), 16, "system cell height")
OpenFont(7, "Bitstream Vera Sans Bold", 16)
t.eq(GetAttribute(FONT, 7, ATTRFONTNAME), "Bitstream Vera Sans Bold", "style word kept in the name")
t.expect_error(1064, OpenFont, 8, "Bitstream Vera Nonesuch", 16)

-- The inbuilt engine finds installed faces by full name.
OpenFont(9, "Bitstream Vera Serif", 14, {engine = FONTENGINE_INBUILT, loader = "inbuilt"})
t.eq(GetAttribute(FONT, 9, ATTRFONTENGINE), FONTENGINE_INBUILT, "installed face, inbuilt engine")

-- Listing: every element has its fields; Vera is among them under its full
-- name (its regular style is "Roman"; listings have no bare-family entries).
local fonts = GetAvailableFonts()
local vera = false
local i = 0
while fonts[i] do
  local f = fonts[i]
  t.eq(type(f.name), "string", "listed name")
  t.eq(type(f.sizes), "table", "listed sizes")
  if f.name == "Bitstream Vera Sans Roman" and not f.bitmap then vera = true end
  i = i + 1
end
t.eq(vera, true, "Vera is listed")
t.expect_error(1286, AddFontPath, "no such folder")

-- Palette and loader of fonts without either.
OpenFont(10, BITMAP_DEFAULT, 8)
t.eq(next(GetAttribute(FONT, 10, ATTRFONTPALETTE)), nil, "topaz has no palette")
t.eq(GetAttribute(FONT, 10, ATTRFONTLOADER), "", "no plug-in loader")
t.eq(GetAttribute(FONT, 10, ATTRFONTTRANSPARENTPEN), 4294967295, "no transparent pen")
