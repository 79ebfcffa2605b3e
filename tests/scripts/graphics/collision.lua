-- Collisions of brushes: pixel-exact through masks, alpha channels and
-- transparent pens; plain boxes where a brush has no shape.
local t = require("testing")

-- 8 × 8 brushes, black and hidden but for a 2 × 2 red square at (6, 6) in
-- brush 1 and at (0, 0) in brush 2.
local function square(id, x, y)
  CreateBrush(id, 8, 8, BLACK)
  for dy = 0, 1 do
    for dx = 0, 1 do WriteBrushPixel(id, x + dx, y + dy, RED) end
  end
  SetBrushTransparency(id, BLACK)
end
square(1, 6, 6)
square(2, 0, 0)

-- Boxes that overlap only where both are transparent do not collide.
t.eq(Collision(BRUSH, 1, 0, 0, 2, 2, 2), 0)
t.eq(Collision(BRUSH, 1, 0, 0, 2, 7, 7), 1)   -- their squares share (7, 7)
t.eq(Collision(BRUSH, 1, 0, 0, 2, 8, 8), 0)   -- squares touch at corners only
t.eq(Collision(BRUSH, 2, 7, 7, 1, 0, 0), 1)
t.eq(Collision(BRUSH, 1, 0, 0, 2, 200, 200), 0)

-- Without masks the boxes decide.
CreateBrush(3, 8, 8, BLUE)
CreateBrush(4, 8, 8, BLUE)
t.eq(Collision(BRUSH, 3, 0, 0, 4, 7, 7), 1)
t.eq(Collision(BRUSH, 3, 0, 0, 4, 8, 0), 0)
-- One shape is enough to look at pixels.
t.eq(Collision(BRUSH, 3, 0, 0, 2, 6, 6), 1)
t.eq(Collision(BRUSH, 3, 0, 0, 2, 7, 7), 1)
t.eq(Collision(BRUSH, 1, 0, 0, 3, -7, -7), 0)

-- A brush against a box.
t.eq(Collision(BRUSH_VS_BOX, 1, 10, 10, 0, 0, 16, 16), 0)   -- stops just short of the square
t.eq(Collision(BRUSH_VS_BOX, 1, 10, 10, 0, 0, 17, 17), 1)
t.eq(Collision(BRUSH_VS_BOX, 1, 10, 10, 10, 10, 6, 6), 0)   -- only hidden pixels there
t.eq(Collision(BRUSH_VS_BOX, 1, 10, 10, 16, 16, 1, 1), 1)
t.eq(Collision(BRUSH_VS_BOX, 1, 10, 10, 18, 18, 5, 5), 0)

-- Alpha channels: solid where not 0.
CreateBrush(5, 4, 1, RED, {alphachannel = true})
for x = 0, 3 do WriteBrushPixel(5, x, 0, RED, 0) end
WriteBrushPixel(5, 3, 0, RED, 1)
t.eq(Collision(BRUSH_VS_BOX, 5, 0, 0, 0, 0, 3, 1), 0)
t.eq(Collision(BRUSH_VS_BOX, 5, 0, 0, 3, 0, 1, 1), 1)

-- Palette brushes: solid where the pen is not the transparent one.
CreateBrush(6, 4, 1, 0, {depth = 2, fillpen = 1, transparentpen = 1})
WriteBrushPixel(6, 2, 0, 3)
t.eq(Collision(BRUSH_VS_BOX, 6, 0, 0, 0, 0, 2, 1), 0)
t.eq(Collision(BRUSH_VS_BOX, 6, 0, 0, 2, 0, 1, 1), 1)

-- Lookup errors come back unchanged; arguments are read first.
t.expect_error(1174, Collision, BRUSH, 1, 0, 0, 99, 0, 0)
assert(not pcall(Collision, BRUSH, 1, 0, 0, 2, 0))

for id = 1, 6 do FreeBrush(id) end
