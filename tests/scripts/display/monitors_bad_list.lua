-- monitors: 1024x:640x480
-- A monitor list that does not follow the format is ignored: the headless
-- desktop keeps its default monitor and modes.
local t = require("testing")

local monitors = GetMonitors()
t.eq(#monitors + 1, 1, "one monitor")
t.eq(monitors[0].width .. "x" .. monitors[0].height, "1920x1080", "the default size")
local modes = GetDisplayModes()
t.eq(modes[0].width .. "x" .. modes[0].height, "1920x1080", "its own mode first")
t.eq(modes[#modes].width .. "x" .. modes[#modes].height, "640x480", "the smallest last")
t.eq(#modes + 1, 8, "eight sizes")
