-- A picture loaded at a size is, pixel for pixel and alpha value for alpha
-- value, the picture loaded at its own size and then scaled by ScaleBrush:
-- both go through the graphics library's scaler.
local t = require("testing")

-- 13 x 9 true colour whose colour and alpha change along both sides.
local W, H = 13, 9
local argb = {}
for y = 0, H - 1 do
  for x = 0, W - 1 do
    local alpha = (x * 19 + y * 23) % 256
    argb[y * W + x] = alpha * 0x1000000 + RGB((x * 20) % 256, (y * 29) % 256, (x * y * 7) % 256)
  end
end
RGBArrayToBrush(1, argb, W, H, true)
SaveBrush(1, "argb.png", {format = IMGFMT_PNG})
FreeBrush(1)

local function same_brushes(a, b, read, what)
  local w, h = GetAttribute(BRUSH, a, ATTRWIDTH), GetAttribute(BRUSH, a, ATTRHEIGHT)
  t.eq(GetAttribute(BRUSH, b, ATTRWIDTH), w, what .. " width")
  t.eq(GetAttribute(BRUSH, b, ATTRHEIGHT), h, what .. " height")
  local pa, pb = read(a), read(b)
  for i = 0, w * h - 1 do
    t.eq(pa[i], pb[i], what .. " pixel " .. i % w .. "," .. math.floor(i / w))
  end
end

local function rgba(id)
  return BrushToRGBArray(id, true)
end

-- Up, down, and up on one side while down on the other, in both modes.
for _, size in ipairs({{31, 20}, {6, 4}, {20, 5}}) do
  for _, smooth in ipairs({true, false}) do
    local what = size[1] .. "x" .. size[2] .. (smooth and " smooth" or " plain")
    local loaded = LoadBrush(nil, "argb.png",
      {loadalpha = true, scalewidth = size[1], scaleheight = size[2], smoothscale = smooth})
    local scaled = LoadBrush(nil, "argb.png", {loadalpha = true})
    ScaleBrush(scaled, size[1], size[2], smooth)
    t.eq(GetAttribute(BRUSH, loaded, ATTRHASALPHA), 1, what .. " alpha channel")
    same_brushes(loaded, scaled, rgba, what)
    FreeBrush(loaded)
    FreeBrush(scaled)
  end
end

-- A palette picture keeps its pens: picked in either mode, as ScaleBrush
-- picks them.
local PALETTE = t.data("images/brush/palette.png")
for _, size in ipairs({{19, 7}, {3, 2}}) do
  for _, smooth in ipairs({false, true}) do
    local what = "pens " .. size[1] .. "x" .. size[2] .. (smooth and " smooth" or " plain")
    local loaded = LoadBrush(nil, PALETTE,
      {loadpalette = true, scalewidth = size[1], scaleheight = size[2], smoothscale = smooth})
    local scaled = LoadBrush(nil, PALETTE, {loadpalette = true})
    ScaleBrush(scaled, size[1], size[2], smooth)
    t.eq(GetAttribute(BRUSH, loaded, ATTRDEPTH), 4, what .. " depth")
    t.eq(GetAttribute(BRUSH, loaded, ATTRTRANSPARENTPEN), 0, what .. " transparent pen")
    same_brushes(loaded, scaled, BrushToPenArray, what)
    FreeBrush(loaded)
    FreeBrush(scaled)
  end
end
