-- Pictures of the window, the display and the desktop, and grabbing the
-- desktop into a brush.
local t = require("testing")
local scene = require("display_scene")

t.expect_error(1687, SaveSnapshot, "none.bmp", SNAPDISPLAY)
CreateDisplay(1, scene.options)
SelectDisplay(1)
scene.make_brushes()
scene.draw()

-- The display's own picture needs no window; the window's does.
SaveSnapshot("display.bmp", SNAPDISPLAY)
t.eq(t.read_file("display.bmp"), scene.reference(), "display picture")
t.expect_error(1347, SaveSnapshot, "window.bmp", SNAPWINDOW)
t.expect_error(1347, SaveSnapshot, "window.bmp")
t.expect_error(1055, SaveSnapshot, "other.bmp", 7)

CreateDisplay(2, {x = 0, y = 0, width = 8, height = 8, color = 0x00FF00})
OpenDisplay(2, {noselect = true})
OpenDisplay(1, {x = 100, y = 50})
SaveSnapshot("window.bmp")
t.eq(t.read_file("window.bmp"), scene.reference(), "window picture")

-- Save options: a PNG of the same picture.
SaveSnapshot("window.png", SNAPWINDOW, nil, {format = IMGFMT_PNG})
LoadBrush(10, "window.png")
t.eq(ReadBrushPixel(10, 5, 5), 0xE03020, "png pixel")
t.eq(GetAttribute(BRUSH, 10, ATTRWIDTH), scene.width, "png width")
FreeBrush(10)
t.expect_error(1650, SaveSnapshot, "bad.bmp", SNAPWINDOW, nil, {colors = 300})

-- The desktop holds both windows where they are.
SaveSnapshot("desktop.bmp", SNAPDESKTOP)
LoadBrush(11, "desktop.bmp")
t.eq(GetAttribute(BRUSH, 11, ATTRWIDTH), 1920, "desktop width")
t.eq(ReadBrushPixel(11, 3, 3), 0x00FF00, "the small window")
t.eq(ReadBrushPixel(11, 105, 55), 0xE03020, "the scene window")
t.eq(ReadBrushPixel(11, 500, 500), 0, "empty desktop")
FreeBrush(11)

-- GrabDesktop copies a part of it into a new brush.
local grabbed = GrabDesktop(nil, {x = 100, y = 50, width = scene.width, height = scene.height})
t.eq(type(grabbed), "userdata", "automatic brush id")
SaveBrush(grabbed, "grabbed.bmp")
t.eq(t.read_file("grabbed.bmp"), scene.reference(), "grabbed picture")
FreeBrush(grabbed)
GrabDesktop(12, {x = 0, y = 0, width = 4, height = 4})
t.eq(ReadBrushPixel(12, 1, 1), 0x00FF00, "numbered grab")
GrabDesktop(12, {x = 100, y = 50, width = 2, height = 2})
t.eq(ReadBrushPixel(12, 1, 1), 0x203040, "a second grab replaces the brush")
t.eq(GetAttribute(BRUSH, 12, ATTRWIDTH), 2, "replaced size")
FreeBrush(12)
t.expect_error(1218, GrabDesktop, 13, {width = 0})
scene.free_brushes()
