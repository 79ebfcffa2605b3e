-- Window messages become events: key translation of both passes, buttons,
-- the wheel, dropped files, activation, minimising, moving and closing.
-- Messages are injected with InjectWindowMessage (headless only).
local t = require("testing")

CreateDisplay(1, {width = 64, height = 48, x = 100, y = 200})
OpenDisplay(1)

local seen = {}
local function record(e) seen[#seen + 1] = e end
local names = {"MouseDown", "MouseUp", "RightMouseDown", "RightMouseUp", "MiddleMouseDown",
  "MiddleMouseUp", "KeyDown", "KeyUp", "RawKeyDown", "RawKeyUp", "Character", "WheelUp",
  "WheelDown", "WindowMoved", "WindowResized", "WindowActivated", "WindowDeactivated",
  "WindowClosing", "WindowMinimized", "WindowRestored", "FilesDropped", "ClipboardChanged"}
local handlers = {}
for _, n in ipairs(names) do handlers[n] = record end
InstallEventHandler(handlers)

-- Injects one message and returns the events it raised.
local function inject(message)
  CheckEvents()
  seen = {}
  InjectWindowMessage(1, message)
  CheckEvents()
  return seen
end

local function summary(events)
  local parts = {}
  for _, e in ipairs(events) do
    parts[#parts + 1] = e.action .. (e.key and ("=" .. e.key) or "")
  end
  return table.concat(parts, " ")
end

-- Keypad 5: the raw pass names the key, the character pass gives "5".
local down = inject({message = "keydown", vk = 0x65, scancode = 0x4C, numlock = true})
t.eq(summary(down), "RawKeyDown=NP5 KeyDown=5", "keypad 5")
t.eq(down[1].code, 0x128, "raw code of keypad 5")
t.eq(down[1].id, 1, "the display")
t.eq(IsKeyDown("NP5"), true, "keypad 5 held")
t.eq(IsKeyDown("5"), true, "its character held")
local up = inject({message = "keyup", vk = 0x65, scancode = 0x4C, numlock = true})
t.eq(summary(up), "RawKeyUp=NP5 KeyUp=5", "keypad 5 released")
t.eq(IsKeyDown("NP5"), false, "released")
t.eq(IsKeyDown(0x128), false, "released, by code")

-- Letters: the raw pass keeps the virtual key, the character pass the case.
t.eq(summary(inject({message = "keydown", vk = 0x41, scancode = 0x1E})), "RawKeyDown=A KeyDown=a",
  "plain a")
t.eq(IsKeyDown("a"), true, "a held")
t.eq(IsKeyDown("A"), true, "either case")
t.eq(summary(inject({message = "keyup", vk = 0x41, scancode = 0x1E})), "RawKeyUp=A KeyUp=a",
  "a released")
t.eq(summary(inject({message = "keydown", vk = 0x41, scancode = 0x1E, shift = true})),
  "RawKeyDown=A KeyDown=A", "shifted A")
inject({message = "keyup", vk = 0x41, scancode = 0x1E, shift = true})

-- Modifiers and Enter by scan code; keys of the table in both passes.
t.eq(summary(inject({message = "keydown", vk = 0x10, scancode = 0x2A})), "RawKeyDown=LSHIFT",
  "left shift has no character")
t.eq(summary(inject({message = "keydown", vk = 0x10, scancode = 0x36})), "RawKeyDown=RSHIFT",
  "right shift")
t.eq(summary(inject({message = "keydown", vk = 0x11, scancode = 0x11D})), "RawKeyDown=RCONTROL",
  "right control")
t.eq(summary(inject({message = "keydown", vk = 0x0D, scancode = 0x11C})),
  "RawKeyDown=NPENTER KeyDown=ENTER", "keypad enter")
t.eq(summary(inject({message = "keydown", vk = 0x0D, scancode = 0x1C})),
  "RawKeyDown=ENTER KeyDown=ENTER", "enter")
t.eq(summary(inject({message = "keydown", vk = 0x74, scancode = 0x3F})), "RawKeyDown=F5 KeyDown=F5",
  "F5")
t.eq(summary(inject({message = "keydown", vk = 0x6A, scancode = 0x37, numlock = true})),
  "RawKeyDown=NPMUL KeyDown=*", "keypad *")
t.eq(summary(inject({message = "keydown", vk = 0x35, scancode = 0x06, shift = true})),
  "RawKeyDown=5 KeyDown=%", "shifted 5")
t.eq(summary(inject({message = "keydown", vk = 0x43, scancode = 0x2E, ctrl = true})),
  "RawKeyDown=C", "control C types nothing")

-- System keys: Alt is a key like the others, Alt+X belongs to the window
-- system.
t.eq(summary(inject({message = "syskeydown", vk = 0x12, scancode = 0x38, alt = true})),
  "RawKeyDown=LALT", "alt")
t.eq(summary(inject({message = "syskeydown", vk = 0x58, scancode = 0x2D, alt = true})), "",
  "alt x")
t.eq(summary(inject({message = "char", char = "é"})), "Character=é", "a typed character")

-- Losing the focus forgets the keys held.
t.eq(IsKeyDown("LSHIFT"), true, "shift held")
t.eq(summary(inject({message = "activate", active = false})), "WindowDeactivated", "deactivated")
t.eq(IsKeyDown("LSHIFT"), false, "keys forgotten")
t.eq(summary(inject({message = "activate"})), "WindowActivated", "activated")

-- Buttons and the wheel.
local e = inject({message = "lbuttondown", x = 3, y = 4})[1]
t.eq(e.action .. " " .. e.x .. " " .. e.y, "MouseDown 3 4", "left button")
t.eq(summary(inject({message = "lbuttonup", x = 3, y = 4})), "MouseUp", "left up")
t.eq(summary(inject({message = "rbuttondown", x = 1, y = 1})), "RightMouseDown", "right button")
t.eq(summary(inject({message = "mbuttonup", x = 1, y = 1})), "MiddleMouseUp", "middle button")
e = inject({message = "mousewheel", delta = -120, screenx = 150, screeny = 250})[1]
t.eq(e.action .. " " .. e.x .. " " .. e.y, "WheelDown 150 250", "wheel towards the user")
t.eq(summary(inject({message = "mousewheel", delta = 240})), "WheelUp", "wheel away")

-- Two dropped files are one event with both names.
local dropped = inject({message = "dropfiles", x = 5, y = 6, files = {[0] = "/tmp/ä.txt", "/tmp/b c"}})
t.eq(#dropped, 1, "one event")
t.eq(dropped[1].files[0], "/tmp/ä.txt", "first name, UTF-8")
t.eq(dropped[1].files[1], "/tmp/b c", "second name")
t.eq(dropped[1].files[2], nil, "two names")
t.eq(dropped[1].x, 5, "drop point")

-- Window state messages.
t.eq(summary(inject({message = "clipboard"})), "ClipboardChanged", "clipboard")
t.eq(summary(inject({message = "minimize"})), "WindowMinimized", "minimised")
t.eq(GetAttribute(DISPLAY, 1, ATTRSTATE), DISPSTATE_MINIMIZED, "state follows")
t.eq(summary(inject({message = "restore"})), "WindowRestored", "restored")
t.eq(GetAttribute(DISPLAY, 1, ATTRSTATE), DISPSTATE_OPEN, "open again")
seen = {}
MoveDisplay(300, 310)
CheckEvents()
t.eq(summary(seen), "WindowMoved", "moving raises an event")
t.eq(GetAttribute(DISPLAY, 1, ATTRXPOS), 300, "new position")
t.eq(summary(inject({message = "close"})), "WindowClosing", "close with a handler")
t.eq(GetAttribute(DISPLAY, 1, ATTRSTATE), DISPSTATE_OPEN, "a handled close keeps the window")

-- Handlers come and go.
InstallEventHandler({KeyDown = false})
t.eq(summary(inject({message = "keydown", vk = 0x42, scancode = 0x30})), "RawKeyDown=B",
  "removed handler")
t.expect_error(1251, InstallEventHandler, {NoSuchEvent = record})
t.expect_error(1631, InstallEventHandler, {KeyDown = 5})
t.expect_error(1251, IsKeyDown, "NOSUCHKEY")
t.expect_error(1344, InjectWindowMessage, 2, {message = "close"})
CreateDisplay(2)
t.expect_error(1347, InjectWindowMessage, 2, {message = "close"})
t.expect_error(1055, InjectWindowMessage, 1, {message = "nonsense"})
