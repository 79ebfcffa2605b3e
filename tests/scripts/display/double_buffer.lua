-- Drawing reaches the window after each command, at the end of a refresh
-- block, or at Flip; the picture after Flip is the reference scene.
local t = require("testing")
local scene = require("display_scene")

-- The colour of one pixel of a saved picture.
local pixel = t.pixel

local background = scene.options.color

t.expect_error(1687, Flip)
CreateDisplay(1, scene.options)
OpenDisplay(1)
scene.make_brushes()
t.expect_error(1244, Flip)
t.expect_error(1244, EndDoubleBuffer)
t.expect_error(1055, EndRefresh)

-- Without a refresh block every drawing shows at once.
DisplayBrush(901, 0, 0)
SaveSnapshot("auto.bmp", SNAPWINDOW)
t.eq(pixel("auto.bmp", 1, 1), 0xE03020, "shown after drawing")

-- Inside a block the window keeps the old picture until EndRefresh.
Cls()
BeginRefresh()
t.expect_error(1511, BeginRefresh)
t.expect_error(1511, BeginDoubleBuffer)
DisplayBrush(902, 0, 0)
SaveSnapshot("inside.bmp", SNAPWINDOW)
SaveSnapshot("inside_display.bmp", SNAPDISPLAY)
t.eq(pixel("inside.bmp", 1, 1), background, "window not yet refreshed")
t.eq(pixel("inside_display.bmp", 1, 1), 0x30C050, "the display has it")
EndRefresh()
SaveSnapshot("after.bmp", SNAPWINDOW)
t.eq(pixel("after.bmp", 1, 1), 0x30C050, "shown at EndRefresh")

-- RefreshDisplay needs a display as the output.
RefreshDisplay({forcerefresh = true, skipclip = true})
SelectBrush(901)
t.expect_error(1082, RefreshDisplay)
t.expect_error(1082, BeginRefresh)
t.expect_error(1082, BeginDoubleBuffer)
EndSelect()
CreateBrush(906, 4, 4, 0, {mask = true})
SelectBrush(906, MASK)
t.expect_error(1147, BeginDoubleBuffer)
EndSelect()
FreeBrush(906)

-- Double buffering: nothing shows until Flip; then the scene.
Cls(0xFFFFFF)
BeginDoubleBuffer()
t.expect_error(1162, BeginDoubleBuffer)
t.expect_error(1162, BeginRefresh)
t.eq(GetAttribute(DISPLAY, 1, ATTRDOUBLEBUFFER), 1, "double-buffered")
Cls()
scene.draw()
SaveSnapshot("before_flip.bmp", SNAPDISPLAY)
t.eq(pixel("before_flip.bmp", 5, 5), 0, "the display starts black")
DisableVWait()
Flip()
SaveSnapshot("flipped.bmp", SNAPDISPLAY)
t.eq(t.read_file("flipped.bmp"), scene.reference(), "display after Flip is the scene")
SaveSnapshot("flipped_window.bmp", SNAPWINDOW)
t.eq(t.read_file("flipped_window.bmp"), scene.reference(), "window after Flip is the scene")

-- Only what changed is copied: a drawing in the back buffer reaches the
-- display at the next Flip, the rest stays.
DisplayBrush(904, 56, 0)
Flip(0)
SaveSnapshot("second.bmp", SNAPDISPLAY)
t.eq(pixel("second.bmp", 60, 4), 0xF0E040, "new drawing flipped")
t.eq(pixel("second.bmp", 5, 5), 0xE03020, "old drawing kept")
t.expect_error(1346, FreeDisplay, 1)
t.expect_error(1525, CloseDisplay, 1)
EndDoubleBuffer()
t.eq(GetAttribute(DISPLAY, 1, ATTRDOUBLEBUFFER), 0, "single-buffered again")
t.expect_error(1244, Flip)
SaveSnapshot("ended.bmp", SNAPWINDOW)
t.eq(pixel("ended.bmp", 60, 4), 0xF0E040, "the back buffer's picture stays")

-- Drawing goes straight to the display again.
DisplayBrush(903, 0, 0)
SaveSnapshot("direct.bmp", SNAPWINDOW)
t.eq(pixel("direct.bmp", 1, 1), 0x2060F0, "drawn directly")
Cls()
SaveSnapshot("cleared.bmp", SNAPWINDOW)
t.eq(pixel("cleared.bmp", 1, 1), background, "Cls fills with the background")

-- Cls of a brush output clears its mask too.
CreateBrush(905, 4, 4, 0x123456, {mask = true})
SelectBrush(905)
Cls(0x00FF00)
EndSelect()
t.eq(ReadBrushPixel(905, 1, 1), 0x00FF00, "brush cleared to the colour")
t.eq(select(2, ReadBrushPixel(905, 1, 1)), 0, "mask cleared")
FreeBrush(905)
scene.free_brushes()
