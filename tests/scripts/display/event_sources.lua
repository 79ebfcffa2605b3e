-- WaitEvent refuses to wait when nothing could ever raise an event, and
-- double buffering ends only while its display is the output.
local t = require("testing")

InstallEventHandler({KeyDown = function() end})
t.expect_error(1905, WaitEvent)
CreateDisplay(1, {width = 8, height = 8})
t.expect_error(1905, WaitEvent)  -- created, never opened
OpenDisplay(1, {noselect = true})
InjectWindowMessage(1, {message = "keydown", vk = 0x41, scancode = 0x1E})
t.eq(WaitEvent(), 1, "an open display's event")
CloseDisplay(1)
t.expect_error(1905, WaitEvent)  -- only closed displays

OpenDisplay(1)
SelectDisplay(1)
BeginDoubleBuffer()
CreateBrush(60, 4, 4)
SelectBrush(60)
t.expect_error(1082, EndDoubleBuffer)
EndSelect()
EndDoubleBuffer()
Cls(RED)
FreeBrush(60)
InstallEventHandler({KeyDown = false})
