-- tessera: --without layers
-- A host without the layers library: InKeyStr has nothing to echo through,
-- and displays cannot be made in layer mode.
local t = require("testing")

CreateDisplay(1, {width = 64, height = 16})
OpenDisplay(1)
InjectWindowMessage(1, {message = "char", char = "a"})
local err = t.expect_error(1685, InKeyStr, ALL)
assert(err:find("layers", 1, true), err)
err = t.expect_error(1685, CreateDisplay, 2, {layers = true})
assert(err:find("layers", 1, true), err)
t.expect_error(1685, ChangeDisplayMode, DISPMODE_FULLSCREEN, {layerscale = true})
t.eq(GetAttribute(DISPLAY, 1, ATTRLAYERS), 0, "no layers")
