-- Display backgrounds filled with the graphics library's gradients.
local t = require("testing")

local pixel = t.pixel

-- Left to right from red to blue: the ends keep nearly their colours, the
-- middle mixes them.
CreateDisplay(1, {width = 64, height = 4, fillstyle = "gradient", gradientstyle = LINEAR,
  gradientangle = 90, gradientstartcolor = RED, gradientendcolor = BLUE})
SelectDisplay(1)
SaveSnapshot("linear.bmp", SNAPDISPLAY)
local left, middle, right = pixel("linear.bmp", 0, 2), pixel("linear.bmp", 32, 2), pixel("linear.bmp", 63, 2)
assert(Red(left) >= 250 and Blue(left) <= 5, string.format("%06x", left))
assert(Blue(right) >= 250 and Red(right) <= 5, string.format("%06x", right))
assert(math.abs(Red(middle) - Blue(middle)) <= 8 and Green(middle) == 0, string.format("%06x", middle))

-- A radial background with stops: the centre is the first stop's colour and
-- the corners, beyond the last stop, keep the last one's.
SetDisplayAttributes({fillstyle = "gradient", gradientstyle = RADIAL, gradientcenterx = 0.5,
  gradientcolors = {[0] = 0x00FF00, 0, 0x00FF00, 0.1, 0x000080, 0.2}})
Cls()
SaveSnapshot("radial.bmp", SNAPDISPLAY)
t.eq(pixel("radial.bmp", 32, 2), 0x00FF00, "centre")
t.eq(pixel("radial.bmp", 0, 0), 0x000080, "corner")

-- Options outside 0..1 are refused.
t.expect_error(1055, CreateDisplay, 2, {fillstyle = "gradient", gradientstyle = RADIAL,
  gradientcenterx = 1.5})
t.expect_error(1014, CreateDisplay, 2, {fillstyle = "gradient",
  gradientcolors = {[0] = RED, 0, BLUE}})
-- The current display stays until the script ends.
