-- Brush fonts: cells cut from a brush, their checks and their life after
-- CloseFont.
local t = require("testing")

CreateBrush(10, 40, 21, 0xFF0000)
CreateFont(20, 10, "AB", 10, 10, 4)
t.eq(GetAttribute(FONT, 20, ATTRFONTTYPE), FONTTYPE_BRUSH, "brush font type")
t.eq(GetAttribute(FONT, 20, ATTRFONTHEIGHT), 10, "cell height")
t.eq(GetAttribute(FONT, 20, ATTRFONTASCENDER), 9, "default ascender")
t.eq(GetAttribute(FONT, 20, ATTRFONTNAME), "Font", "default name")
-- Two rows of 10 with a row spacing of 1 need 21 pixels.
local auto = CreateFont(nil, 10, "ABCDEFGH", 10, 10, 4, {rowspacing = 1, name = "Grid", ascender = 7})
t.eq(GetAttribute(FONT, auto, ATTRFONTNAME), "Grid", "given name")
t.eq(GetAttribute(FONT, auto, ATTRFONTASCENDER), 7, "given ascender")
CloseFont(auto)

t.expect_error(1156, CreateFont, 21, 10, "ABCDE", 10, 10, 5)
t.expect_error(1156, CreateFont, 21, 10, "ABCDEFGH", 10, 10, 4, {rowspacing = 2})
t.expect_error(1156, CreateFont, 21, 10, "ABCD", 10, 10, 4, {colspacing = 1})
t.expect_error(1055, CreateFont, 21, 10, "", 10, 10, 4)
t.expect_error(1055, CreateFont, 21, 10, string.rep("A", 1024), 1, 1, 1)
t.expect_error(1055, CreateFont, 21, 10, "AB", 0, 10, 4)
t.expect_error(1055, CreateFont, 21, 10, "AB", 10, 10, 0)
t.expect_error(1598, CreateFont, 21, 10, "AB", 10, 10, 4, {charwidth = 5})
t.expect_error(1055, CreateFont, 21, 10, "AB", 10, 10, 4, {charwidth = {[0] = 4, -1}})

-- The current brush font stays usable after its handle is closed.
UseFont(20)
CloseFont(20)
t.expect_error(1334, UseFont, 20)
SetFont(BITMAP_DEFAULT, 8)
FreeBrush(10)
-- An unknown brush fails with the brush library's own code.
t.eq(pcall(CreateFont, 21, 99, "A", 1, 1, 1), false, "unknown brush")
