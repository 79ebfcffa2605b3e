-- Monitors, modes and fake full screen in a real X server: what the SDL2
-- back end lists is what the server reports (XVFB_SCREEN, from xdpyinfo),
-- and a window laid over the monitor and taken back keeps its picture.
local t = require("testing")
local scene = require("display_scene")

local screen = os.getenv("XVFB_SCREEN")
local monitors = GetMonitors()
t.eq(#monitors + 1, 1, "one monitor")
t.eq(monitors[0].x .. "," .. monitors[0].y, "0,0", "at the origin")
t.eq(monitors[0].width .. "x" .. monitors[0].height, screen, "the server's screen")

local modes = GetDisplayModes(1)
local seen, listed = {}, false
for i = 0, #modes do
  local size = modes[i].width .. "x" .. modes[i].height
  t.eq(seen[size], nil, "each size once: " .. size)
  seen[size] = true
  if size == screen then listed = true end
end
t.eq(listed, true, "the screen's own mode is listed")
t.expect_error(1557, GetDisplayModes, 2)

CreateDisplay(1, scene.options)
OpenDisplay(1, {x = 100, y = 50})
scene.make_brushes()
scene.draw()

ChangeDisplayMode(DISPMODE_FAKEFULLSCREEN)
local w, h = monitors[0].width, monitors[0].height
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), w, "the display covers the screen")
SaveSnapshot("full.bmp", SNAPWINDOW)
LoadBrush(2, "full.bmp")
t.eq(GetAttribute(BRUSH, 2, ATTRWIDTH) .. "x" .. GetAttribute(BRUSH, 2, ATTRHEIGHT), screen,
     "the window as the server has it")
FreeBrush(2)
-- The screen's corner is the display's: the window lies over the monitor.
local grabbed = GrabDesktop(nil, {x = 0, y = 0, width = 8, height = 8})
t.eq(ReadBrushPixel(grabbed, 0, 0), scene.options.color, "the display at the screen's corner")
FreeBrush(grabbed)

ChangeDisplayMode(DISPMODE_WINDOWED)
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), scene.width, "its own size again")
Cls(scene.options.color)
scene.draw()
SaveSnapshot("window.bmp", SNAPWINDOW)
t.eq(t.read_file("window.bmp"), scene.reference(), "the window shows the scene again")

-- Real full screen: the smallest mode the server offers that holds 64 × 48;
-- larger than every mode fails.
ChangeDisplayMode(DISPMODE_FULLSCREEN)
local smallest
for i = 0, #modes do
  local m = modes[i]
  if not smallest or m.width * m.height < smallest.width * smallest.height then smallest = m end
end
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), smallest.width, "the display takes the mode's width")
ChangeDisplayMode(DISPMODE_WINDOWED)
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), scene.width, "and its own back")
t.expect_error(1004, ChangeDisplayMode, DISPMODE_FULLSCREEN, 100000, 10)
scene.free_brushes()
