-- Loading and saving brushes through the host's imageio: PNG with alpha and
-- palettes, JPEG and BMP; crop windows, option rules and bad files.
local t = require("testing")

local RGBA = t.data("images/brush/rgba.png")
local PALETTE = t.data("images/brush/palette.png")
local BMP = t.data("images/brush/rgb.bmp")
local JPEG = t.data("images/brush/gradient.jpg")

-- Every pixel and alpha value of a brush, for comparisons.
local function pixels(id)
  return BrushToRGBArray(id, true)
end
local function same_pixels(a, b, what)
  local pa, pb = pixels(a), pixels(b)
  local n = GetAttribute(BRUSH, a, ATTRWIDTH) * GetAttribute(BRUSH, a, ATTRHEIGHT)
  t.eq(GetAttribute(BRUSH, b, ATTRWIDTH) * GetAttribute(BRUSH, b, ATTRHEIGHT), n, what .. " size")
  for i = 0, n - 1 do t.eq(pb[i], pa[i], what .. " pixel " .. i) end
end

-- A PNG with alpha: loaded, drawn into another brush, saved and loaded again
-- with identical pixels.
local png = LoadBrush(nil, RGBA, {loadalpha = true})
t.eq(GetAttribute(BRUSH, png, ATTRWIDTH), 8, "width")
t.eq(GetAttribute(BRUSH, png, ATTRHEIGHT), 6, "height")
t.eq(GetAttribute(BRUSH, png, ATTRDEPTH), 32, "depth")
t.eq(GetAttribute(BRUSH, png, ATTRFORMAT), "PNG", "format")
t.eq(GetAttribute(BRUSH, png, ATTRLOADER), "inbuilt", "loader")
local rgb, a = ReadBrushPixel(png, 2, 3)
t.eq(rgb, RGB(60, 120, 200), "colour")
t.eq(a, 175, "alpha")
CreateBrush(1, 8, 6, {alphachannel = true, clear = true})
SelectBrush(1)
DisplayBrush(png, 0, 0)
EndSelect()
SelectBrush(1, ALPHACHANNEL)
DisplayBrush(png, 0, 0)
EndSelect()
SaveBrush(1, "copy.png", {format = IMGFMT_PNG})
local again = LoadBrush(nil, "copy.png", {loadalpha = true})
same_pixels(1, again, "round trip")
t.eq(select(2, ReadBrushPixel(again, 7, 0)), 15, "faintest alpha kept")

-- A width that is no multiple of 4: the decoded rows are padded, and whole
-- pictures, windows and cached pictures keep every pixel.
local odd = {}
for i = 0, 7 * 5 - 1 do odd[i] = (i * 37) % 256 * 0x1000000 + (i * 0x030507) % 0x1000000 end
RGBArrayToBrush(30, odd, 7, 5, true)
SaveBrush(30, "odd.png", {format = IMGFMT_PNG})
same_pixels(30, LoadBrush(nil, "odd.png", {loadalpha = true}), "odd width")
local oddPart = LoadBrush(nil, "odd.png", {loadalpha = true, x = 2, y = 1, width = 3})
local partPixels = pixels(oddPart)
for y = 0, 3 do
  for x = 0, 2 do
    t.eq(partPixels[y * 3 + x], odd[(y + 1) * 7 + x + 2], "odd window " .. x .. "," .. y)
  end
end
LoadBrush(31, "odd.png", {loadalpha = true, __cache = "odd", __cachealpha = true})
same_pixels(30, LoadBrush(nil, "never-read.png", {loadalpha = true, __cachedload = "odd"}),
            "odd width from the cache")

-- Without loadalpha the alpha channel stays in the file.
local opaque = LoadBrush(nil, RGBA)
t.eq(GetAttribute(BRUSH, opaque, ATTRHASALPHA), 0, "no alpha plane")
t.eq(GetAttribute(BRUSH, opaque, ATTRDEPTH), 24, "24-bit")

-- A palette PNG with loadpalette keeps its pens, palette and transparent pen.
local pal = LoadBrush(nil, PALETTE, {loadpalette = true})
t.eq(GetAttribute(BRUSH, pal, ATTRDEPTH), 4, "pen depth")
t.eq(GetAttribute(BRUSH, pal, ATTRTRANSPARENTPEN), 0, "pen of tRNS")
t.eq(GetAttribute(BRUSH, pal, ATTRPALETTE)[3], 0x0000FF, "palette entry")
local pens = BrushToPenArray(pal)
for y = 0, 3 do
  for x = 0, 7 do t.eq(pens[y * 8 + x], (x + y) % 5, "pen " .. x .. "," .. y) end
end
t.eq(IsBrushEmpty(pal), 0, "pens other than the transparent one")
-- The transparent pen can be chosen, within the depth.
local chosen = LoadBrush(nil, PALETTE, {loadpalette = true, transparentpen = 2})
t.eq(GetAttribute(BRUSH, chosen, ATTRTRANSPARENTPEN), 2, "chosen pen")
t.expect_error(1646, LoadBrush, 2, PALETTE, {loadpalette = true, transparentpen = 16})
-- Saved as a palette PNG and loaded again: the same pens and palette.
SaveBrush(pal, "pens.png", {format = IMGFMT_PNG})
local pal2 = LoadBrush(nil, "pens.png", {loadpalette = true})
local pens2 = BrushToPenArray(pal2)
for i = 0, 31 do t.eq(pens2[i], pens[i], "saved pen " .. i) end
t.eq(GetAttribute(BRUSH, pal2, ATTRTRANSPARENTPEN), 0, "saved transparent pen")
-- Without loadpalette the pens become colours, the transparent pen a key
-- only when asked for.
local flat = LoadBrush(nil, PALETTE, {loadtransparency = true})
t.eq(GetAttribute(BRUSH, flat, ATTRDEPTH), 32, "keyed")
t.eq(select(2, ReadBrushPixel(flat, 0, 0)), 0, "the key is transparent")
t.eq(select(2, ReadBrushPixel(flat, 1, 0)), 1, "other pixels are visible")

-- BMP and JPEG.
local bmp = LoadBrush(nil, BMP)
t.eq(ReadBrushPixel(bmp, 4, 2), RGB(200, 200, 7), "BMP pixel")
t.eq(GetAttribute(BRUSH, bmp, ATTRFORMAT), "BMP", "BMP format")
local jpeg = LoadBrush(nil, JPEG)
t.eq(GetAttribute(BRUSH, jpeg, ATTRWIDTH), 64, "JPEG width")
local c = ReadBrushPixel(jpeg, 40, 30)
t.near(Red(c), 160, 12, "JPEG red")
t.near(Green(c), 150, 12, "JPEG green")
t.near(Blue(c), 64, 12, "JPEG blue")
SaveBrush(jpeg, "saved.bmp")  -- the positional form: BMP by default
same_pixels(jpeg, LoadBrush(nil, "saved.bmp"), "BMP round trip")

-- Crop windows.
local part = LoadBrush(nil, RGBA, {x = 6, y = 1, width = 10, loadalpha = true})
t.eq(GetAttribute(BRUSH, part, ATTRWIDTH), 2, "clipped width")
t.eq(GetAttribute(BRUSH, part, ATTRHEIGHT), 5, "rest of the height")
t.eq(ReadBrushPixel(part, 0, 0), RGB(180, 40, 200), "window origin")
t.expect_error(1217, LoadBrush, 2, RGBA, {x = 8})
t.expect_error(1217, LoadBrush, 2, RGBA, {y = 6})
t.expect_error(1154, LoadBrush, 2, RGBA, {x = -1})

-- Transparent colours, global alpha and the legacy form.
local keyed = LoadBrush(nil, BMP, {transparency = RGB(100, 100, 7)})
t.eq(GetAttribute(BRUSH, keyed, ATTRTRANSPARENTCOLOR), RGB(100, 100, 7), "key")
t.eq(select(2, ReadBrushPixel(keyed, 2, 1)), 0, "key pixel hidden")
local legacy = LoadBrush(nil, BMP, RGB(100, 100, 7))
t.eq(select(2, ReadBrushPixel(legacy, 2, 1)), 0, "legacy key")
local faded = LoadBrush(nil, BMP, {globalalpha = 128})
t.eq(select(2, ReadBrushPixel(faded, 0, 0)), 128, "global alpha")
local both = LoadBrush(nil, RGBA, {loadalpha = true, globalalpha = 0})
t.eq(select(2, ReadBrushPixel(both, 0, 0)), 0, "alpha scaled by the global alpha")
local scaled = LoadBrush(nil, RGBA, {scalewidth = "50%", scaleheight = 3})
t.eq(GetAttribute(BRUSH, scaled, ATTRWIDTH), 4, "percentage of the width")
t.eq(GetAttribute(BRUSH, scaled, ATTRHEIGHT), 3, "pixels")

-- The image cache keys of script-level loaders: a cached picture loads
-- without its file.
LoadBrush(20, RGBA, {loadalpha = true, __cache = "rgba", __cachealpha = true})
local cached = LoadBrush(nil, "never-read.png", {loadalpha = true, __cachedload = "rgba"})
same_pixels(20, cached, "from the cache")
local cachedPart = LoadBrush(nil, "never-read.png", {__cachedload = "rgba", x = 4})
t.eq(GetAttribute(BRUSH, cachedPart, ATTRWIDTH), 4, "a window of the cached picture")
t.eq(GetAttribute(BRUSH, cachedPart, ATTRHASALPHA), 0, "alpha only when asked for")
t.expect_error(1246, LoadBrush, 21, "never-read.png", {__cachedload = "nothing"})

-- Option rules.
t.expect_error(1055, LoadBrush, 2, PALETTE, {loadpalette = true, transparency = 0})
t.expect_error(1055, LoadBrush, 2, PALETTE, {transparentpen = 1})
t.expect_error(1055, LoadBrush, 2, RGBA, {loadalpha = true, loadtransparency = true})
t.expect_error(1055, LoadBrush, 2, RGBA, {loadalpha = true, loadpalette = true})
t.expect_error(1055, LoadBrush, 2, RGBA, {loadtransparency = true, transparency = 0})
t.expect_error(1055, LoadBrush, 2, PALETTE, {loadpalette = true, hardware = true})
t.expect_error(1055, LoadBrush, 2, PALETTE, {loadpalette = true, globalalpha = 9})
t.expect_error(1223, LoadBrush, 2, RGBA, {globalalpha = 9, transparency = 0})
t.expect_error(1223, LoadBrush, 2, RGBA, {loadalpha = true, transparency = 0})

-- Bad files fail with their codes and leave the brush of that id alone.
CreateBrush(3, 2, 2, 0x445566)
t.expect_error(1045, LoadBrush, 3, "missing.png")
t.write_file("truncated.png", string.sub(t.read_file(RGBA), 1, 60))
t.expect_error(1009, LoadBrush, 3, "truncated.png")
t.write_file("text.png", "this is no picture at all")
t.expect_error(1625, LoadBrush, 3, "text.png")
local corrupt = t.read_file(BMP)
t.write_file("corrupt.bmp", string.sub(corrupt, 1, 18) .. string.rep("\255", 8) .. string.sub(corrupt, 27))
t.expect_error(1906, LoadBrush, 3, "corrupt.bmp")
t.write_file("twobit.bmp", string.sub(corrupt, 1, 28) .. "\2\0" .. string.sub(corrupt, 31))
local message = t.expect_error(1643, LoadBrush, 3, "twobit.bmp")
t.eq(string.find(message, "twobit.bmp", 1, true) ~= nil, true, "the file in the message")
t.eq(ReadBrushPixel(3, 1, 1), 0x445566, "the old brush survives")
LoadBrush(3, BMP)
t.eq(GetAttribute(BRUSH, 3, ATTRWIDTH), 5, "a good load replaces it")

-- Save options and failures.
t.expect_error(1650, SaveBrush, png, "x.png", {format = IMGFMT_PNG, colors = 300})
t.expect_error(1625, SaveBrush, png, "x.gif", {format = IMGFMT_GIF})
t.expect_error(1174, SaveBrush, 77, "x.png")
t.expect_error(1052, SaveBrush, png, "no/such/folder/x.png", {format = IMGFMT_PNG})
SaveBrush(png, "quality.jpg", -1, IMGFMT_JPEG, 40)
t.eq(GetAttribute(BRUSH, LoadBrush(nil, "quality.jpg"), ATTRFORMAT), "JPEG", "positional format")
local probe, info = IsPicture("copy.png")
t.eq(probe, 1, "IsPicture")
t.eq(info.alpha, 1, "saved with alpha")
t.eq(info.width, 8, "saved width")
