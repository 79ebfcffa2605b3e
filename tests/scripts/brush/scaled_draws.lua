-- Drawing with scaling alone is drawn from the source where it lies: every
-- pixel must be the one a scaled copy of the brush gives when drawn plainly,
-- for opaque brushes, brushes with an alpha channel and brushes with a mask,
-- both modes, with transparency, and clipped at the output's edges.
local t = require("testing")

local W, H = 37, 23
local seed = 12345
local function random()
  seed = (seed * 1103515245 + 12345) % 2147483648
  return seed
end
local pixels = {}
for i = 0, W * H - 1 do
  -- Alpha that changes from pixel to pixel, colours in every channel.
  pixels[i] = (random() % 256) * 0x1000000 + random() % 0x1000000
end
RGBArrayToBrush(1, pixels, W, H)        -- opaque
RGBArrayToBrush(2, pixels, W, H, true)  -- alpha channel from the top bytes
for i = 0, W * H - 1, 3 do pixels[i] = 0x00FF00 end
RGBArrayToBrush(3, pixels, W, H, false, 0x00FF00)  -- a mask

local OW, OH = 64, 48
local function same_outputs(what)
  for y = 0, OH - 1 do
    for x = 0, OW - 1 do
      local a, b = ReadBrushPixel(20, x, y), ReadBrushPixel(21, x, y)
      if a ~= b then t.eq(a, b, what .. " at " .. x .. "," .. y) return end
    end
  end
end

-- Output 20 takes the scaled draw, output 21 the plain draw of a scaled copy.
local function compare(id, x, y, w, h, smooth, transparency, what)
  CreateBrush(20, OW, OH, 0x336699)
  CreateBrush(21, OW, OH, 0x336699)
  SelectBrush(20)
  DisplayBrush(id, x, y, {width = w, height = h, smoothscale = smooth, transparency = transparency})
  EndSelect()
  CopyBrush(id, 30)
  ScaleBrush(30, w, h, smooth)
  SelectBrush(21)
  DisplayBrush(30, x, y, {transparency = transparency})
  EndSelect()
  same_outputs(what)
end

for id = 1, 3 do
  for smooth = 0, 1 do
    local what = "brush " .. id .. " smooth " .. smooth
    compare(id, 3, 5, 52, 31, smooth, 0, what .. " up")
    compare(id, 0, 0, 17, 9, smooth, 0, what .. " down")
    compare(id, -11, 30, 52, 31, smooth, 0, what .. " clipped left and bottom")
    compare(id, 40, -7, 30, 20, smooth, 0, what .. " clipped right and top")
    compare(id, 6, 4, 50, 12, smooth, 100, what .. " with transparency")
  end
end

-- Nothing visible: nothing drawn, no error.
CreateBrush(20, OW, OH, 0x336699)
SelectBrush(20)
DisplayBrush(2, 100, 100, {width = 20, height = 20, smoothscale = 1})
DisplayBrush(2, -40, 0, {width = 20, height = 20})
EndSelect()
t.eq(ReadBrushPixel(20, 0, 0), 0x336699, "left alone")

-- A part of the brush from an odd column: the mask's bits start inside a byte.
for id = 1, 3 do
  CreateBrush(20, OW, OH, 0x336699)
  CreateBrush(21, OW, OH, 0x336699)
  SelectBrush(20)
  DisplayBrushPart(id, 5, 3, 14, 12, 2, 2, {scalex = 1.5, scaley = 0.75, smoothscale = 1})
  EndSelect()
  CopyBrush(id, 30)
  CropBrush(30, 5, 3, 14, 12)
  ScaleBrush(30, 21, 9, 1)
  SelectBrush(21)
  DisplayBrush(30, 2, 2)
  EndSelect()
  same_outputs("part of brush " .. id)
end

for _, id in ipairs({1, 2, 3, 20, 21, 30}) do FreeBrush(id) end
