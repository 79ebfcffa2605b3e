-- A first script: a sunset over three ranges of hills, drawn from brushes.
-- With a window system it opens a window in which the sun sinks (close the
-- window to end); without one (tessera --headless, or no DISPLAY) it writes
-- the picture to a PNG file and says where:
--   tessera examples/01-hello.lua [picture.png]
local W, H = 640, 360

-- A colour between two colours, t from 0 to 1.
local function mix(a, b, t)
  local function part(shift)
    local x, y = math.floor(a / shift) % 256, math.floor(b / shift) % 256
    return math.floor(x + (y - x) * t + 0.5) * shift
  end
  return part(65536) + part(256) + part(1)
end

-- The sky: a brush per row, from night blue at the top to the glow above
-- the horizon.
local function sky()
  local rows = {}
  for y = 0, H - 1 do
    local t = y / (H - 1)
    local c = t < 0.6 and mix(0x101848, 0xC04868, t / 0.6) or mix(0xC04868, 0xFFB060, (t - 0.6) / 0.4)
    for x = 0, W - 1 do rows[y * W + x] = c end
  end
  return RGBArrayToBrush(nil, rows, W, H)
end

-- A round sun with a soft edge, as a brush with an alpha channel.
local function sun(radius)
  local size = radius * 2 + 8
  local pixels = {}
  for y = 0, size - 1 do
    for x = 0, size - 1 do
      local d = math.sqrt((x - size / 2) ^ 2 + (y - size / 2) ^ 2)
      local a = math.max(0, math.min(1, radius + 3 - d)) * 255
      pixels[y * size + x] = math.floor(a) * 16777216 + 0xFFE8A0
    end
  end
  return RGBArrayToBrush(nil, pixels, size, size, true), size
end

-- A range of hills: a transparent brush with the ground below a wavy line.
local function hills(colour, base, amplitude, wavelength, phase)
  local pixels = {}
  for x = 0, W - 1 do
    local top = base - amplitude * (math.sin(x / wavelength + phase) + 1) / 2
      - amplitude / 3 * math.sin(x / (wavelength / 2.7) + 2 * phase)
    for y = 0, H - 1 do
      pixels[y * W + x] = y >= top and (0xFF000000 + colour) or 0
    end
  end
  return RGBArrayToBrush(nil, pixels, W, H, true)
end

local display = CreateDisplay(nil, {width = W, height = H, title = "Hello from Tessera"})
OpenDisplay(display)
local sky_brush = sky()
local sun_brush, sun_size = sun(42)
local ranges = {
  hills(0x5A3070, 250, 60, 90, 0.5),
  hills(0x3C2050, 290, 45, 70, 2.0),
  hills(0x1E1030, 330, 30, 55, 4.0),
}

local function frame(sun_y)
  DisplayBrush(sky_brush, 0, 0)
  DisplayBrush(sun_brush, W * 0.62 - sun_size / 2, sun_y)
  for _, r in ipairs(ranges) do DisplayBrush(r, 0, 0) end
end

if GetAttribute(DISPLAY, display, ATTRADAPTER) == "headless" then
  frame(150)
  local file = arg[1] or ((os.getenv("TMPDIR") or "/tmp") .. "/tessera-hello.png")
  SaveSnapshot(file, SNAPWINDOW, nil, {format = IMGFMT_PNG})
  io.write("No window system here: the picture is in " .. file .. "\n")
else
  io.write("Close the window to end.\n")
  BeginDoubleBuffer()
  SetFPSLimit(30)
  local y, step = 60, 1
  while true do
    frame(y)
    Flip()
    y = y + step
    if y > 260 or y < 60 then step = -step end
  end
end
