-- A script waiting for events ends cleanly when a window is closed that no
-- handler takes, even with handlers for other events.
CreateDisplay(1, {width = 16, height = 16})
OpenDisplay(1)
InstallEventHandler({KeyDown = function() error("no key was pressed") end})
InjectWindowMessage(1, {message = "close"})
WaitEvent()
error("the script went on after the window was closed")
