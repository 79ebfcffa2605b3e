-- Writes gradient.jpg, the JPEG sample of the brush tests, through the host's
-- imageio: 64 x 48, red rising to the right, green rising downwards, blue 64.
-- Run from this folder: tessera --headless make_jpeg.lua
local pixels = {}
for y = 0, 47 do
  for x = 0, 63 do
    pixels[y * 64 + x] = RGB(x * 4, y * 5, 64)
  end
end
local b = RGBArrayToBrush(nil, pixels, 64, 48)
SaveBrush(b, "gradient.jpg", {format = IMGFMT_JPEG, quality = 92})
FreeBrush(b)
