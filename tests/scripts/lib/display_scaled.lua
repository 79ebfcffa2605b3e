-- The scaled pictures of tests/scripts/display/scaling.lua: the display
-- test scene (64 × 48) shown in windows of other sizes. make_scaled.lua
-- writes the reference pictures from the same steps.
local scene = require("display_scene")
local M = {}

-- Opens display 1 with the scene, scaled by the library into a 160 × 96
-- window (2.5 × 2 times, so that pixels are repeated unevenly).
function M.open(extra)
  local options = {scalemode = SCALEMODE_AUTO, scalewidth = 160, scaleheight = 96, x = 0, y = 0}
  for k, v in pairs(scene.options) do options[k] = v end
  for k, v in pairs(extra or {}) do options[k] = v end
  CreateDisplay(1, options)
  OpenDisplay(1)
  scene.make_brushes()
  scene.draw()
end

function M.close()
  scene.free_brushes()
end

-- The pictures, in order: nearest, smooth, keeping proportions (borders).
M.steps = {
  {name = "scaled_nearest"},
  {name = "scaled_smooth", attributes = {smoothscale = true}},
  {name = "scaled_keep", attributes = {smoothscale = false, fitscale = true}},
  {name = "scaled_keep_smooth", attributes = {smoothscale = true}},
}

-- Applies a step's attributes and shows the picture afresh.
function M.apply(step)
  if step.attributes then SetDisplayAttributes(step.attributes) end
  RefreshDisplay({forcerefresh = true})
end

function M.reference(name)
  return os.getenv("TESSERA_TEST_DATA") .. "/images/display/" .. name .. ".png"
end

return M
