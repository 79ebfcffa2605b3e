-- SetDrawTagsDefault: its errors, and defaults that only a successful call
-- changes, seen through the calls that follow.
local t = require("testing")

-- Errors of the parser, each with its code.
t.expect_error(1055, SetDrawTagsDefault, {scalex = 0})
t.expect_error(1055, SetDrawTagsDefault, {transform = {[0] = 1, [1] = 0, [2] = 0, [3] = 0}})
t.expect_error(1055, SetDrawTagsDefault, {anchorx = 1.0000001})
t.expect_error(1055, SetDrawTagsDefault, {name = ""})
t.expect_error(1373, SetDrawTagsDefault, {name = string.rep("n", 256)})
t.expect_error(1373, SetDrawTagsDefault, {group = string.rep("g", 65)})
t.expect_error(1374, SetDrawTagsDefault, {name = "hero", group = "hero"})
t.expect_error(1446, SetDrawTagsDefault, {filters = "blur"})
t.expect_error(1446, SetDrawTagsDefault, {filters = {[0] = "blur"}})
local message = t.expect_error(1445, SetDrawTagsDefault, {filters = {[0] = {name = "blur"}, {}}})
assert(string.find(message, "entry 1 ", 1, true), message)
t.expect_error(1247, SetDrawTagsDefault, {filters = {[0] = {name = true}}})
message = t.expect_error(1444, SetDrawTagsDefault, {filters = {[0] = {name = "sparkle"}}})
assert(string.find(message, "sparkle", 1, true), message)
t.expect_error(1189, SetDrawTagsDefault, {filters = {[0] = {name = "blur", priority = "high"}}})
t.expect_error(1189, SetDrawTagsDefault, {filters = {[0] = {name = "blur", args = {[0] = "x"}}}})

-- The argument must be one table.
assert(not pcall(SetDrawTagsDefault, 5))
assert(not pcall(SetDrawTagsDefault))
t.expect_error(1902, SetDrawTagsDefault, {}, {})

-- A failed call leaves no trace: a shadow with a bad radius was not switched
-- on, so an empty table (which checks a shadow that is on) still succeeds.
t.expect_error(1055, SetDrawTagsDefault, {shadow = 1, shadowradius = 0.5})
SetDrawTagsDefault({})
t.expect_error(1055, SetDrawTagsDefault, {border = 1, bordersize = 0})
SetDrawTagsDefault({})

-- A successful call sticks: with the shadow on by default, its radius is
-- checked in every later call until it is switched off.
SetDrawTagsDefault({shadow = 1, shadowradius = 2})
t.expect_error(1055, SetDrawTagsDefault, {shadowradius = 0.5})
SetDrawTagsDefault({shadowsize = 6})
SetDrawTagsDefault({shadow = 0, shadowradius = 0.5})
SetDrawTagsDefault({})

-- The name is not kept as a default, so a later group of that name is no
-- clash.
SetDrawTagsDefault({name = "hero"})
SetDrawTagsDefault({group = "hero"})

-- Filters from index 0; lower-case name; tint and flips need no filters library.
setdrawtagsdefault({tint = 300, tintcolor = 0xFF0000, filters = {[0] = {name = "xflip"}}})
SetDrawTagsDefault({filters = {[0] = {name = "blur", disable = 1}}})
