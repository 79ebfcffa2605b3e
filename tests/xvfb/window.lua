-- The SDL2 back end in a real X server: the window, the double buffer and
-- the desktop show the reference scene when read back from the server, and
-- the server's own events arrive.
local t = require("testing")
local scene = require("display_scene")

CreateDisplay(1, scene.options)
OpenDisplay(1, {x = 100, y = 50})
t.eq(GetAttribute(DISPLAY, 1, ATTRADAPTER), "sdl", "real windows")
t.eq(GetAttribute(DISPLAY, 1, ATTRHOSTWIDTH), 1280, "the server's screen")
scene.make_brushes()
scene.draw()
SaveSnapshot("window.bmp", SNAPWINDOW)
t.eq(t.read_file("window.bmp"), scene.reference(), "the window shows the scene")

-- Double buffering: black until Flip shows the scene again.
BeginDoubleBuffer()
Cls()
scene.draw()
Flip()
SaveSnapshot("flipped.bmp", SNAPWINDOW)
t.eq(t.read_file("flipped.bmp"), scene.reference(), "flipped scene")
EndDoubleBuffer()

-- The desktop as the server has it.
local grabbed = GrabDesktop(nil, {x = 100, y = 50, width = scene.width, height = scene.height})
SaveBrush(grabbed, "grabbed.bmp")
t.eq(t.read_file("grabbed.bmp"), scene.reference(), "grabbed from the screen")
FreeBrush(grabbed)

-- Moving the window: the server reports it back as an event.
local moved = false
InstallEventHandler({WindowMoved = function(e) moved = e.id == 1 end})
MoveDisplay(200, 120)
SetFPSLimit(100)
for _ = 1, 300 do
  CheckEvents()
  if moved then break end
  VWait()
end
t.eq(moved, true, "moved event")
t.eq(GetAttribute(DISPLAY, 1, ATTRXPOS), 200, "new position")
SaveSnapshot("moved.bmp", SNAPWINDOW)
t.eq(t.read_file("moved.bmp"), scene.reference(), "the picture moved with the window")
scene.free_brushes()
