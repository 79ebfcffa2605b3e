-- Writes the reference pictures of tests/scripts/display/scaling.lua. Run
-- from tests/:
--   LUA_PATH='scripts/lib/?.lua' TESSERA_TEST_DATA=. ../build/tessera --headless \
--     images/display/make_scaled.lua
local scaled = require("display_scaled")
scaled.open()
for _, step in ipairs(scaled.steps) do
  scaled.apply(step)
  SaveSnapshot(scaled.reference(step.name), SNAPWINDOW, nil, {format = IMGFMT_PNG})
end
