-- Matrices, points, boxes, intersections and collisions of boxes and brushes.
local t = require("testing")

local m = Matrix2D(1, 1, 0)
t.eq(m.sx, 1) t.eq(m.rx, 0) t.eq(m.ry, 0) t.eq(m.sy, 1)
m = Matrix2D(2, 3, 0)
t.eq(m.sx, 2) t.eq(m.sy, 3)

-- A quarter turn: a = 270 degrees, so m = (0, -1, 1, 0).
m = Matrix2D(1, 1, 90)
t.near(m.sx, 0, 1e-12) t.near(m.rx, -1, 1e-12) t.near(m.ry, 1, 1e-12) t.near(m.sy, 0, 1e-12)
local x, y = TransformPoint(1, 0, m)
t.near(x, 0, 1e-12, "x") t.near(y, -1, 1e-12, "y")
x, y = TransformPoint(2, 3, {sx = 2, sy = 3})  -- missing fields are 0
t.eq(x, 4) t.eq(y, 9)

-- Boxes count both edges.
local identity = {sx = 1, rx = 0, ry = 0, sy = 1}
local bx, by, bw, bh = TransformBox(0, 0, 10, 10, identity)
t.eq(bx, 0) t.eq(by, 0) t.eq(bw, 11) t.eq(bh, 11)
bx, by, bw, bh = TransformBox(5, 7, 10, 10, identity)
t.eq(bx, 5) t.eq(by, 7) t.eq(bw, 11)
-- Absolute boxes turn about the origin, relative ones about their own corner;
-- an anchor moves the centre of the turn.
bx, by, bw, bh = TransformBox(10, 0, 10, 4, {sx = -1, sy = 1}, 0)
t.eq(bx, -20) t.eq(bw, 11)
bx, by, bw, bh = TransformBox(10, 0, 10, 4, {sx = -1, sy = 1}, 1)
t.eq(bx, 0)
bx, by, bw, bh = TransformBox(10, 0, 10, 4, {sx = -1, sy = 1}, 1, 0.5, 0.5)
t.eq(bx, 10) t.eq(by, 0) t.eq(bw, 11) t.eq(bh, 5)
bx, by, bw, bh = TransformBox(0, 0, 10, 10, {sx = 0.5, rx = 0.5, ry = -0.5, sy = 0.5}, 1)
t.eq(bx, -5) t.eq(by, 0) t.eq(bw, 11) t.eq(bh, 11)

-- Intersections: touching edges do not meet.
local ix, iy, iw, ih = Intersection(0, 0, 10, 10, 10, 0, 10, 10)
t.eq(ix, 0) t.eq(iy, 0) t.eq(iw, 0) t.eq(ih, 0)
ix, iy, iw, ih = Intersection(0, 0, 10, 10, 9, 0, 10, 10)
t.eq(ix, 9) t.eq(iy, 0) t.eq(iw, 1) t.eq(ih, 10)
ix, iy, iw, ih = Intersection(0, 0, 10.9, 10, 10, 0.5, 10, 10)
t.eq(iw, 0)
-- An empty box meets nothing (no negative sizes come back).
ix, iy, iw, ih = Intersection(5, 0, -3, 10, 0, 0, 10, 10)
t.eq(ix, 0) t.eq(iw, 0)

t.eq(Collision(BOX, 0, 0, 10, 10, 9, 9, 5, 5), 1)
t.eq(Collision(BOX, 0, 0, 10, 10, 10, 10, 5, 5), 0)
t.eq(Collision(BOX, 0, 0, 10, 10, -4, -4, 5, 5), 1)
t.eq(Collision(BOX, 0, 0, 10, 10, -5, 0, 5, 5), 0)
t.expect_error(1055, Collision, 99, 0, 0)
assert(not pcall(Collision, BOX, 0, 0))
t.eq(collision(BOX, 0, 0, 1, 1, 0, 0, 1, 1), 1)

-- Layers need an output with layers; sprites their library.
t.expect_error(1078, Collision, 22, 1, 2)
t.expect_error(1078, Collision, LAYER_VS_BOX, 1, 0, 0, 5, 5)
local message = t.expect_error(1685, Collision, 32, 1, 2)
assert(string.find(message, "sprite", 1, true), message)
t.expect_error(1685, Collision, SPRITE_VS_BOX, 1, 0, 0, 5, 5)
t.expect_error(1685, Collision, SPRITE_VS_BRUSH, 1, 2, 0, 0)
