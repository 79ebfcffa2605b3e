-- monitors: 1024x768:640x480,800x600@60,800x600@75,1024x768@60,640x480@75 1280x1024+1024+0 800x600:
-- Monitors, their modes, full screen and ChangeDisplaySize on a headless
-- desktop of three monitors: the first offers three sizes (two of them at
-- two rates), the second only its own size, the third has no readable modes.
local t = require("testing")

-- The window's client size, from a picture of it.
local function window_size()
  SaveSnapshot("window.bmp", SNAPWINDOW)
  LoadBrush(99, "window.bmp")
  local size = GetAttribute(BRUSH, 99, ATTRWIDTH) .. "x" .. GetAttribute(BRUSH, 99, ATTRHEIGHT)
  FreeBrush(99)
  return size
end

local monitors = GetMonitors()
t.eq(#monitors + 1, 3, "three monitors")
t.eq(monitors[0].x, 0, "first x")
t.eq(monitors[0].width, 1024, "first width")
t.eq(monitors[1].x, 1024, "second x")
t.eq(monitors[1].height, 1024, "second height")
t.eq(monitors[2].x, 2304, "third stands right of the second")

-- Each size once, in the order first seen.
local modes = GetDisplayModes(1)
t.eq(#modes + 1, 3, "three sizes")
t.eq(modes[0].width .. "x" .. modes[0].height, "640x480", "first size")
t.eq(modes[1].width .. "x" .. modes[1].height, "800x600", "second size")
t.eq(modes[2].width .. "x" .. modes[2].height, "1024x768", "third size")
t.eq(GetDisplayModes(2)[0].width, 1280, "a monitor of one mode")
t.eq(#GetDisplayModes(2), 0, "only one")
t.expect_error(1557, GetDisplayModes, 4)
t.expect_error(1557, GetDisplayModes, -1)
t.eq(string.find(t.expect_error(1555, GetDisplayModes, 3), "monitor 3", 1, true) ~= nil, true,
     "the monitor in the message")

CreateDisplay(1, {width = 800, height = 600, color = 0x336699})
SelectDisplay(1)
-- Full screen needs an open display.
t.expect_error(1347, ChangeDisplayMode, DISPMODE_FULLSCREEN)
OpenDisplay(1)
t.expect_error(1055, ChangeDisplayMode, DISPMODE_ASK)
t.expect_error(1055, ChangeDisplayMode, 99)
t.expect_error(1055, ChangeDisplayMode, "nosuchmode")
t.expect_error(1558, ChangeDisplayMode, DISPMODE_FULLSCREEN, 0, 600)
t.expect_error(1557, ChangeDisplayMode, DISPMODE_FULLSCREEN, {monitor = 9})
t.expect_error(1555, ChangeDisplayMode, DISPMODE_FULLSCREEN, {monitor = 3})
-- The host's layers library does not scale layers to a screen.
t.expect_error(1625, ChangeDisplayMode, DISPMODE_FULLSCREEN, {layerscale = true})
-- Larger than every mode of the monitor.
t.expect_error(1004, ChangeDisplayMode, DISPMODE_FULLSCREEN, 1025, 600)
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 800, "a refused mode changes nothing")

-- A double buffer cannot follow the size full screen gives.
BeginDoubleBuffer()
t.expect_error(1162, ChangeDisplayMode, DISPMODE_FULLSCREEN)
EndDoubleBuffer()

-- 800 x 600 is offered as it is.
ChangeDisplayMode(DISPMODE_FULLSCREEN)
t.eq(GetAttribute(DISPLAY, 1, ATTRMODE), DISPMODE_FULLSCREEN, "the display's mode")
t.eq(GetMonitors()[0].width, 800, "the monitor runs at 800 x 600")
t.eq(window_size(), "800x600", "the window covers it")
t.eq(GetAttribute(DISPLAY, 1, ATTRXPOS), 0, "from its corner")

-- 700 x 500 takes the smallest mode that holds it, and the display its size.
ChangeDisplayMode(DISPMODE_WINDOWED)
t.eq(GetMonitors()[0].width, 1024, "back to the monitor's own mode")
ChangeDisplayMode(DISPMODE_FULLSCREEN, 700, 500)
t.eq(GetMonitors()[0].width .. "x" .. GetMonitors()[0].height, "800x600", "mode for 700 x 500")
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 800, "the display takes the screen's width")
t.eq(GetAttribute(DISPLAY, 1, ATTRHEIGHT), 600, "and height")
ChangeDisplayMode(DISPMODE_FULLSCREEN, 640, 480)
t.eq(GetMonitors()[0].width, 640, "a smaller mode from full screen")
ChangeDisplayMode("windowed")
t.eq(GetAttribute(DISPLAY, 1, ATTRMODE), DISPMODE_WINDOWED, "windowed again")
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 800, "the display's own size again")
t.eq(window_size(), "800x600", "and its window's")

-- Fake full screen covers the monitor without changing its mode.
ChangeDisplayMode(DISPMODE_FAKEFULLSCREEN, {monitor = 2})
t.eq(GetMonitors()[1].width, 1280, "the mode stays")
t.eq(GetAttribute(DISPLAY, 1, ATTRXPOS), 1024, "the window lies on the second monitor")
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 1280, "an unscaled display takes its size")
ChangeDisplayMode(DISPMODE_WINDOWED)
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 800, "back")

-- ChangeDisplaySize: pixels, percentages and the kept aspect.
t.expect_error(1558, ChangeDisplaySize, 0, 10)
t.expect_error(1558, ChangeDisplaySize, 10, "-5%")
ChangeDisplaySize("50%", 300)
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 400, "half the width")
t.eq(window_size(), "400x300", "the window follows")
ChangeDisplaySize(200, KEEPASPRAT, {smooth = true})
t.eq(GetAttribute(DISPLAY, 1, ATTRHEIGHT), 150, "height from the aspect")
t.eq(GetAttribute(DISPLAY, 1, ATTRINTERPOLATE), 1, "smooth from now on")
t.expect_error(1558, ChangeDisplaySize, KEEPASPRAT, KEEPASPRAT)
BeginDoubleBuffer()
t.expect_error(1162, ChangeDisplaySize, 10, 10)
EndDoubleBuffer()

-- Closing from full screen gives the monitor its mode back.
ChangeDisplayMode(DISPMODE_FULLSCREEN, 640, 480)
CreateDisplay(2)
OpenDisplay(2)
CloseDisplay(1)
t.eq(GetMonitors()[0].width, 1024, "closing restores the mode")
SelectDisplay(2)
FreeDisplay(1)

-- A display made for full screen opens in it, and a mode no monitor offers
-- leaves it closed.
CreateDisplay(3, {mode = "fullscreen", scrwidth = 640, scrheight = 480})
OpenDisplay(3)
t.eq(GetMonitors()[0].width, 640, "opened in full screen")
t.eq(GetAttribute(DISPLAY, 3, ATTRWIDTH), 640, "at the mode's size")
CloseDisplay(3)
t.eq(GetMonitors()[0].width, 1024, "closed: the monitor's own mode")
CreateDisplay(4, {mode = "fullscreen", scrwidth = 2000, scrheight = 480})
t.expect_error(1004, OpenDisplay, 4)
t.eq(GetAttribute(DISPLAY, 4, ATTRSTATE), DISPSTATE_CLOSED, "still closed")
SelectDisplay(2)
FreeDisplay(3)
FreeDisplay(4)
