-- Fill styles, form styles and the line width: what each command stores, as
-- the Get commands report it, and every error code.
local t = require("testing")

-- Start values.
t.eq(GetFillStyle(), FILLNONE)
t.eq(select(2, GetFillStyle()).thickness, 1)
t.eq(GetFormStyle(), NORMAL)
t.eq(select(2, GetFormStyle()), nil)
t.eq(GetLineWidth(), 1)

-- FILLNONE takes the line width from its thickness.
SetFillStyle(FILLNONE, 3)
local style, options = GetFillStyle()
t.eq(style, FILLNONE)
t.eq(options.thickness, 3)
t.eq(GetLineWidth(), 3)
SetFillStyle(FILLNONE, 0.5)  -- truncated to 0, then kept at least 1
t.eq(GetLineWidth(), 1)
SetFillStyle(FILLNONE)
t.eq(GetLineWidth(), 1)

SetFillStyle(FILLCOLOR)
t.eq(select("#", GetFillStyle()), 1)

-- Gradients: types 0 and 1 are LINEAR at 0 and 90 degrees.
SetFillStyle(FILLGRADIENT, 0, 0xFF0000, 0x0000FF)
style, options = GetFillStyle()
t.eq(style, FILLGRADIENT)
t.eq(options.type, LINEAR)
t.eq(options.style, LINEAR)
t.eq(options.angle, 0)
t.eq(options.startcolor, 0xFF0000)
t.eq(options.endcolor, 0x0000FF)
t.eq(options.colors, nil)
SetFillStyle(FILLGRADIENT, 1, 0xFF0000, 0x0000FF)
t.eq(select(2, GetFillStyle()).angle, 90)
SetFillStyle(FILLGRADIENT, CONICAL, RED, BLUE, 33.9, {balance = 0.25, colors = {[0] = 0xFF0000, 0, 0xFFFFFFFF, 1}})
options = select(2, GetFillStyle())
t.eq(options.type, CONICAL)
t.eq(options.angle, 33)
t.eq(options.balance, 0.25)
t.eq(options.colors[0], 0xFF0000)
t.eq(options.colors[2], 0xFFFFFFFF)
t.eq(options.colors[3], 1)
SetFillStyle(FILLGRADIENT, RADIAL, RED, BLUE, nil, {centerx = 0.25, border = 1.0})
options = select(2, GetFillStyle())
t.eq(options.centerx, 0.25)
t.eq(options.border, 1)
t.eq(options.colors, nil)

-- Gradient errors leave the style as it was.
t.expect_error(1055, SetFillStyle, FILLGRADIENT, RADIAL, RED, BLUE, nil, {centerx = 1.5})
t.expect_error(1055, SetFillStyle, FILLGRADIENT, RADIAL, RED, BLUE, {centery = -1})
t.expect_error(1014, SetFillStyle, FILLGRADIENT, LINEAR, RED, BLUE, 0, {colors = {[0] = 0xFF0000, 0, 0x0000FF}})
t.expect_error(1055, SetFillStyle, FILLGRADIENT, LINEAR, RED, BLUE, 0, {colors = {[0] = 0xFF0000, 0}})
t.expect_error(1189, SetFillStyle, FILLGRADIENT, LINEAR, RED, BLUE, 0, {colors = {[0] = 0xFF0000, "x", 0, 1}})
t.expect_error(1446, SetFillStyle, FILLGRADIENT, LINEAR, RED, BLUE, 0, {colors = 3})
local many = {[0] = 0, 0}
for i = 1, 64 do many[2 * i], many[2 * i + 1] = i, 1 end
t.expect_error(1066, SetFillStyle, FILLGRADIENT, LINEAR, RED, BLUE, 0, {colors = many})
t.expect_error(1055, SetFillStyle, FILLGRADIENT, 9, RED, BLUE)
assert(not pcall(SetFillStyle, FILLGRADIENT, LINEAR, RED))
options = select(2, GetFillStyle())
t.eq(options.type, RADIAL)
t.eq(options.centerx, 0.25)

-- Textures.
SetFillStyle(FILLTEXTURE, 7, 3, -4)
style, options = GetFillStyle()
t.eq(style, FILLTEXTURE)
t.eq(options.brush, 7)
t.eq(options.x, 3)
t.eq(options.y, -4)

t.expect_error(1055, SetFillStyle, 4)
t.expect_error(1055, SetFillStyle, -1)
t.eq(GetFillStyle(), FILLTEXTURE)

-- Form styles accumulate (on top of the NORMAL they start with) until NORMAL
-- clears them.
SetFormStyle(SHADOW)
SetFormStyle(BORDER)
t.eq(GetFormStyle(), NORMAL + SHADOW + BORDER)
style, options = GetFormStyle()
t.eq(options.shadowsize, 4)
t.eq(options.shadowdir, SHDWSOUTHEAST)
t.eq(options.shadowcolor, 0x80000000)
t.eq(options.bordersize, 2)
t.eq(options.bordercolor, 0x0093DD)
SetFormStyle(NORMAL)
t.eq(GetFormStyle(), NORMAL)
SetFormStyle(ANTIALIAS)
t.eq(GetFormStyle(), NORMAL + ANTIALIAS)
SetFormStyle(NORMAL + SHADOW, 0xFF0000)  -- NORMAL wins and reads nothing more
t.eq(GetFormStyle(), NORMAL)

-- Positional values, clamped.
SetFormStyle(SHADOW, 0xFF0000, 100)
style, options = GetFormStyle()
t.eq(options.shadowcolor, 0xFF0000)
t.eq(options.shadowsize, 64)
SetFormStyle(SHADOW, 0x00FF00, 0, 9)
options = select(2, GetFormStyle())
t.eq(options.shadowsize, 1)
t.eq(options.shadowdir, SHDWSOUTHEAST)
SetFormStyle(BORDER, 0x112233, 70)
options = select(2, GetFormStyle())
t.eq(options.bordercolor, 0x112233)
t.eq(options.bordersize, 64)
t.eq(options.shadowcolor, 0x00FF00)

-- A table names what changes.
SetFormStyle(SHADOW + BORDER, {shadowdir = SHDWNORTH, bordersize = 5})
options = select(2, GetFormStyle())
t.eq(options.shadowdir, SHDWNORTH)
t.eq(options.bordersize, 5)
t.eq(options.shadowsize, 1)

-- Positional values need exactly SHADOW or exactly BORDER.
t.expect_error(1193, SetFormStyle, SHADOW + BORDER, 0xFF0000)
t.expect_error(1193, SetFormStyle, ANTIALIAS, 1)
t.eq(select(2, GetFormStyle()).shadowsize, 1)

-- The line width.
SetLineWidth(5.9)
t.eq(GetLineWidth(), 5)
SetLineWidth(100000)
t.eq(GetLineWidth(), 100000)
t.expect_error(1055, SetLineWidth, 0.9)
t.expect_error(1055, SetLineWidth, -3)
t.eq(GetLineWidth(), 100000)
-- FILLNONE without thickness goes back to 1.
SetFillStyle(FILLNONE)
t.eq(GetLineWidth(), 1)
t.eq(getlinewidth(), 1)
