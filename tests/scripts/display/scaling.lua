-- monitors: 320x200:320x200,640x400
-- The library scales a display's picture to its window: nearest pixels or
-- smooth, stretched or keeping its proportions between black borders; mouse
-- positions come back in the display's own coordinates.
local t = require("testing")
local scaled = require("display_scaled")

-- The window as it shows now: a brush of its picture.
local function window_brush()
  SaveSnapshot("window.png", SNAPWINDOW, nil, {format = IMGFMT_PNG})
  LoadBrush(99, "window.png")
  return 99
end

local background, red = 0x203040, 0xE03020

scaled.open()
t.eq(GetAttribute(DISPLAY, 1, ATTRSCALEWIDTH), 160, "the window's width")
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 64, "the display keeps its own")
for _, step in ipairs(scaled.steps) do
  scaled.apply(step)
  SaveSnapshot(step.name .. ".png", SNAPWINDOW, nil, {format = IMGFMT_PNG})
  t.eq(t.read_file(step.name .. ".png"), t.read_file(scaled.reference(step.name)), step.name)
end

-- Read independently of the references: the red brush (4, 4, 20 × 10) at
-- 2.5 × 2, and what smoothing and borders do at its edges.
SetDisplayAttributes({smoothscale = false, fitscale = false})
RefreshDisplay({forcerefresh = true})
local b = window_brush()
t.eq(ReadBrushPixel(b, 30, 15), red, "inside the red brush")
t.eq(ReadBrushPixel(b, 0, 0), background, "stretched: no border")
local edge = {}
for x = 6, 14 do edge[#edge + 1] = ReadBrushPixel(b, x, 15) end
FreeBrush(b)
for _, c in ipairs(edge) do
  t.eq(c == background or c == red, true, "nearest pixels take one of the two colours")
end

SetDisplayAttributes({smoothscale = true})
RefreshDisplay({forcerefresh = true})
b = window_brush()
local blended = false
for x = 6, 14 do
  local c = ReadBrushPixel(b, x, 15)
  if c ~= background and c ~= red then blended = true end
end
FreeBrush(b)
t.eq(blended, true, "smooth scaling blends the edge")

-- 4:3 in a 160 × 96 window: 128 × 96 in the middle, 16 black columns each side.
SetDisplayAttributes({smoothscale = false, keepproportions = true})
RefreshDisplay({forcerefresh = true})
b = window_brush()
t.eq(ReadBrushPixel(b, 15, 50), 0, "left border")
t.eq(ReadBrushPixel(b, 16, 50), background, "the picture starts")
t.eq(ReadBrushPixel(b, 143, 50), background, "the picture ends")
t.eq(ReadBrushPixel(b, 144, 50), 0, "right border")
FreeBrush(b)

-- Mouse positions in the display's coordinates, borders included.
local seen
InstallEventHandler({MouseDown = function(e) seen = e end})
local function click(x, y)
  seen = nil
  InjectWindowMessage(1, {message = "lbuttondown", x = x, y = y})
  InjectWindowMessage(1, {message = "lbuttonup", x = x, y = y})
  CheckEvents()
  return seen.x .. "," .. seen.y
end
t.eq(click(16, 0), "0,0", "the picture's corner")
t.eq(click(143, 95), "63,47", "its last pixel")
t.eq(click(80, 48), "32,24", "its middle")
t.eq(click(15, 0), "-1,0", "left of it")
InjectWindowMessage(1, {message = "mousemove", x = 80, y = 48})
t.eq(GetAttribute(DISPLAY, 1, ATTRCURSORX), 32, "cursor x")

-- A resized window keeps the picture's aspect: the side that moved leads.
InjectWindowMessage(1, {message = "size", x = 200, y = 100})
t.eq(GetAttribute(DISPLAY, 1, ATTRSCALEWIDTH), 200, "the new width")
t.eq(GetAttribute(DISPLAY, 1, ATTRSCALEHEIGHT), 150, "the height that keeps 4:3")
RefreshDisplay({forcerefresh = true})
b = window_brush()
t.eq(GetAttribute(BRUSH, b, ATTRHEIGHT), 150, "the window itself")
t.eq(ReadBrushPixel(b, 0, 0), background, "no borders left")
FreeBrush(b)
-- Without keepproportions the window takes any size (the message is the
-- window system's word only: the window itself stays 200 × 150).
SetDisplayAttributes({keepproportions = false})
InjectWindowMessage(1, {message = "size", x = 120, y = 40})
t.eq(GetAttribute(DISPLAY, 1, ATTRSCALEHEIGHT), 40, "free height")
InstallEventHandler({MouseDown = false})

-- Full screen with scaling keeps the display's size and fills the monitor.
ChangeDisplayMode(DISPMODE_FULLSCREENSCALE, {keepproportions = true})
t.eq(GetAttribute(DISPLAY, 1, ATTRWIDTH), 64, "logical size kept")
t.eq(GetAttribute(DISPLAY, 1, ATTRSCALEWIDTH), 320, "the screen's width")
b = window_brush()
-- 64 × 48 on 320 × 200: 267 × 200 from x = 26.
t.eq(ReadBrushPixel(b, 25, 100), 0, "border on the wide screen")
t.eq(ReadBrushPixel(b, 27, 100), background, "picture")
FreeBrush(b)
ChangeDisplayMode(DISPMODE_WINDOWED)
t.eq(GetAttribute(DISPLAY, 1, ATTRSCALEWIDTH), 200, "the window as it was")
scaled.close()

-- A scale factor other than 1 scales from the start.
CreateDisplay(2, {width = 30, height = 20, scalefactor = 2, color = red})
OpenDisplay(2)
t.eq(GetAttribute(DISPLAY, 2, ATTRSCALEWIDTH), 60, "twice as wide")
b = window_brush()
t.eq(GetAttribute(BRUSH, b, ATTRHEIGHT), 40, "twice as high")
t.eq(ReadBrushPixel(b, 59, 39), red, "filled to the corner")
FreeBrush(b)
-- Unscaled displays are copied as they are; scaling switched on later
-- gives the window its scaled size.
CreateDisplay(3, {width = 30, height = 20, color = red})
t.eq(GetAttribute(DISPLAY, 3, ATTRSCALEWIDTH), 30, "not scaled")
OpenDisplay(3)
SetDisplayAttributes({scalemode = SCALEMODE_AUTO, scalewidth = 90, scaleheight = 60})
b = window_brush()
t.eq(GetAttribute(BRUSH, b, ATTRWIDTH) .. "x" .. GetAttribute(BRUSH, b, ATTRHEIGHT), "90x60",
     "the window at the scaled size")
t.eq(ReadBrushPixel(b, 89, 59), red, "the picture fills it")
FreeBrush(b)
SelectDisplay(2)
FreeDisplay(3)
