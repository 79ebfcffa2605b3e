-- What comes right after a flip: reading the window shows the flipped
-- picture; ending the double buffer and resizing, or ending the script still
-- double-buffered, leave nothing behind (the sanitizers see the pictures).
local t = require("testing")

local pixel = t.pixel

CreateBrush(1, 8, 8, 0xFF8000)
CreateDisplay(1, {width = 320, height = 240})
OpenDisplay(1)
for round = 1, 20 do
  BeginDoubleBuffer()
  for i = 0, 39 do DisplayBrush(1, (i % 8) * 12, math.floor(i / 8) * 12) end
  Flip(0)
  if round % 2 == 0 then
    EndDoubleBuffer()
    ChangeDisplaySize(320 + round, 240)
  else
    SaveSnapshot("after" .. round .. ".bmp")
    t.eq(pixel("after" .. round .. ".bmp", 8 * 12 - 5, 4 * 12 + 3), 0xFF8000, "last square, round " .. round)
    EndDoubleBuffer()
    Cls(0)
  end
end
-- The script ends right after a flip, its display still double-buffered.
FreeBrush(1)
BeginDoubleBuffer()
Cls(0x00FF00)
Flip(0)
