-- Writes scene.bmp, the reference picture of the display tests, by drawing
-- the scene straight into a display. Run from tests/:
--   LUA_PATH='scripts/lib/?.lua' ../build/tessera --headless images/display/make_scene.lua
local scene = require("display_scene")
CreateDisplay(1, scene.options)
SelectDisplay(1)
scene.make_brushes()
scene.draw()
SaveSnapshot("images/display/scene.bmp", SNAPDISPLAY)
scene.free_brushes()
