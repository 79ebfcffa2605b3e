-- Closing a window that no handler takes ends the script as if it returned:
-- the test passes when the script exits cleanly without reaching the end.
CreateDisplay(1, {width = 16, height = 16})
OpenDisplay(1)
InjectWindowMessage(1, {message = "close"})
SetFPSLimit(1000)
for _ = 1, 100 do VWait() end
error("the script went on after the window was closed")
