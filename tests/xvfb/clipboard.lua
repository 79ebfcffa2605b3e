-- The window system's clipboard through the SDL2 back end: text set here is
-- what another program reads, and text another program sets arrives here
-- with a ClipboardChanged event. The other program is a second tessera
-- (arg[1]) running other.lua in the same X server.
local t = require("testing")
local tessera = assert(arg[1], "the path of tessera")

-- A text set before any window can hold it stays in memory.
SetClipboardText("early")
CreateDisplay(1, {width = 64, height = 32})
OpenDisplay(1)
t.eq(GetClipboardText(), "early", "kept while no window held it")

SetClipboardText("from A")
t.eq(GetClipboardText(), "from A", "what the system's clipboard holds now")

-- Our own change is announced too; it goes by before the handler comes.
SetFPSLimit(100)
for _ = 1, 10 do VWait() end
CheckEvents()
local changed = false
InstallEventHandler({ClipboardChanged = function() changed = true end})
t.write_file("other.lua", [[
CreateDisplay(1, {width = 16, height = 16})
OpenDisplay(1)
local f = io.open("other.saw", "wb")
f:write(GetClipboardText() or "(none)")
f:close()
SetClipboardText("from B")
SetFPSLimit(100)
-- The clipboard's owner answers while it runs: until A has read.
for _ = 1, 500 do
  local done = io.open("a.done", "rb")
  if done then done:close() break end
  VWait()
end
]])
os.remove("a.done")
os.remove("other.saw")
assert(os.execute(string.format("'%s' other.lua > other.log 2>&1 &", tessera)))

for _ = 1, 500 do
  CheckEvents()
  if GetClipboardText() == "from B" then break end
  VWait()
end
t.write_file("a.done", "")
t.eq(GetClipboardText(), "from B", "the other program's text")
t.eq(changed, true, "ClipboardChanged")
t.eq(t.read_file("other.saw"), "from A", "the other program read ours")

-- Ctrl+V in a line input pastes from that same memory (tested headless
-- with injected keys).
