-- Flip with a few dozen separate changes and with touching ones: each changed
-- rectangle reaches the window, nothing between them does; a second double
-- buffer on the same display flips as the first.
local t = require("testing")

local pixel = t.pixel

CreateDisplay(1, {width = 160, height = 120})
OpenDisplay(1)
CreateBrush(1, 3, 3, 0xFFFFFF)

for round = 1, 2 do
  BeginDoubleBuffer()
  Cls(0x0000FF)
  Flip(0)
  -- 60 squares with gaps of two pixels, then two that touch.
  for i = 0, 59 do DisplayBrush(1, (i % 12) * 5, math.floor(i / 12) * 5) end
  DisplayBrush(1, 100, 100)
  DisplayBrush(1, 103, 100)
  -- Drawn but not flipped: stays out of the window.
  Flip(0)
  DisplayBrush(1, 140, 10)
  local file = "flip" .. round .. ".bmp"
  SaveSnapshot(file)
  t.eq(pixel(file, 0, 0), 0xFFFFFF, "first square")
  t.eq(pixel(file, 11 * 5 + 2, 4 * 5 + 2), 0xFFFFFF, "last square")
  t.eq(pixel(file, 3, 3), 0x0000FF, "gap between squares")
  t.eq(pixel(file, 105, 102), 0xFFFFFF, "touching squares")
  t.eq(pixel(file, 141, 11), 0x0000FF, "change after the flip")
  -- The display's own picture got the same rectangles as the window.
  local shown = "flipshown" .. round .. ".bmp"
  SaveSnapshot(shown, SNAPDISPLAY)
  for _, at in ipairs({{0, 0}, {11 * 5 + 2, 4 * 5 + 2}, {3, 3}, {105, 102}, {141, 11}}) do
    t.eq(pixel(shown, at[1], at[2]), pixel(file, at[1], at[2]), "picture at " .. at[1] .. "," .. at[2])
  end
  EndDoubleBuffer()
end
FreeBrush(1)
