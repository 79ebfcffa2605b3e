-- More changes than a list holds: the refresh list grows, the dirty list of a
-- double buffer gives way to copying everything; no change is lost.
local t = require("testing")

local pixel = t.pixel

CreateDisplay(1, {width = 64, height = 64})
OpenDisplay(1)
CreateBrush(1, 1, 1, 0xFFFFFF)

-- 2000 separate pixels inside one refresh block.
BeginRefresh()
for i = 0, 1999 do DisplayBrush(1, (i * 2) % 64, math.floor(i / 32) * 2 % 64) end
EndRefresh()
SaveSnapshot("refresh.bmp")
t.eq(pixel("refresh.bmp", 0, 0), 0xFFFFFF, "first change shown")
t.eq(pixel("refresh.bmp", (1999 * 2) % 64, math.floor(1999 / 32) * 2 % 64), 0xFFFFFF,
  "last change shown")
t.eq(pixel("refresh.bmp", 1, 1), 0, "between them nothing")

-- 1500 separate pixels in the back buffer.
BeginDoubleBuffer()
Cls(0x0000FF)
Flip(0)
for i = 0, 1499 do DisplayBrush(1, (i * 2 + 1) % 64, math.floor(i / 32) * 2 % 64) end
Flip(0)
SaveSnapshot("flip.bmp")
t.eq(pixel("flip.bmp", 1, 0), 0xFFFFFF, "first drawing flipped")
t.eq(pixel("flip.bmp", (1499 * 2 + 1) % 64, math.floor(1499 / 32) * 2 % 64), 0xFFFFFF,
  "last drawing flipped")
t.eq(pixel("flip.bmp", 0, 0), 0x0000FF, "background kept")
EndDoubleBuffer()
FreeBrush(1)
