-- A C module built without the interpreter loads and runs against the one in
-- tessera (LUA_CPATH points at the test build's modules).
local probe = require("tzxprobe")
assert(probe.add(2, 3) == 5, "add")
assert(probe.join("tes", "sera") == "tessera", "join")
local ok, message = pcall(probe.add, "x", 1)
assert(not ok and message:find("number expected"), tostring(message))
