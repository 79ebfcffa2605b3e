-- InKeyStr's echo: each typed character is a text layer over the display;
-- the layers after the caret move as characters come and go, and what lay
-- under them shows again when they go. OnKeyWait looks at the display while
-- the input waits for keys.
local t = require("testing")

local function snapshot(name)
  SaveSnapshot(name, SNAPDISPLAY, nil, {format = IMGFMT_PNG})
  return t.read_file(name)
end
local keys = {left = {0x25, 0x14B}, back = {0x08, 0x0E}, delete = {0x2E, 0x153},
              enter = {0x0D, 0x1C}, escape = {0x1B, 0x01}}

-- What the input is typed over: a red line of text, not a plain colour, so
-- that a character that moves or goes must give back what it covered.
local function background()
  Cls()
  SetFontColor(0xFF0000)
  TextOut(0, 0, "=====")
  SetFontColor(0xFFFFFF)
end

-- The pictures to compare with: the text drawn on the background.
CreateDisplay(9, {width = 64, height = 16, color = 0x102030})
OpenDisplay(9)
local function drawn(text, name)
  background()
  if text ~= "" then TextOut(0, 0, text) end
  return snapshot(name)
end
local bare, ab, axb, b = drawn("", "bare.png"), drawn("AB", "ab.png"), drawn("AxB", "axb.png"),
  drawn("B", "b.png")
local stars = drawn("**", "stars.png")

CreateDisplay(1, {width = 64, height = 16, color = 0x102030})
OpenDisplay(1)
local function send(message) InjectWindowMessage(1, message) end
local function type(text)
  for i = 1, #text do send({message = "char", char = text:sub(i, i)}) end
end
local function press(name)
  send({message = "keydown", vk = keys[name][1], scancode = keys[name][2]})
  send({message = "keyup", vk = keys[name][1], scancode = keys[name][2]})
end
local function start()
  background()
  Locate(0, 0)
end

-- Typing, a character put in between, backspace and delete: each step's
-- echo is what drawing the line would show. A second input from script code
-- run meanwhile is refused.
start()
type("AB")
local seen = 0
OnKeyWait(function()
  t.eq(snapshot("typed.png"), ab, "the echo of AB")
  press("left")
  type("x")
  OnKeyWait(function()
    t.eq(snapshot("inserted.png"), axb, "B moved right for x")
    t.expect_error(1638, InKeyStr, ALL)
    press("back")   -- x goes: A|B
    press("left")   -- |AB
    press("delete") -- A goes: B moves to the start
    OnKeyWait(function()
      t.eq(snapshot("removed.png"), b, "B moved left, the red line under A and x is back")
      seen = 3
      press("enter")
    end)
    seen = 2
  end)
  seen = 1
end)
t.eq(InKeyStr(ALL), "B", "typed")
t.eq(seen, 3, "every wait looked")
t.eq(snapshot("ended.png"), b, "the printed line, no echo left")

-- Everything typed taken back: the echo goes, nothing is printed.
start()
type("AB")
press("back")
press("back")
press("enter")
t.eq(InKeyStr(ALL), "", "all taken back")
t.eq(snapshot("takenback.png"), bare, "nothing left")

-- Escape, and an input that fails (no key ever comes): the echo goes too.
start()
type("AB")
OnKeyWait(function()
  t.eq(snapshot("beforeescape.png"), ab, "echo before escape")
  press("escape")
end)
t.eq(InKeyStr(ALL), "", "escape")
t.eq(snapshot("escaped.png"), bare, "escape leaves the display as it was")
start()
type("AB")
t.expect_error(1905, InKeyStr, ALL)
t.eq(snapshot("failed.png"), bare, "a failed input leaves the display as it was")

-- Password input echoes stars.
start()
type("AB")
OnKeyWait(function()
  t.eq(snapshot("password.png"), stars, "stars")
  press("enter")
end)
t.eq(InKeyStr(ALL, 0, 1), "AB", "password")

-- On a palette display the echo takes the nearest pens.
CreateDisplay(3, {width = 32, height = 8, palette = -983, fillpen = 0})
OpenDisplay(3)
TextOut(0, 0, "A")
local penA = snapshot("pen_a.png")
CreateDisplay(4, {width = 32, height = 8, palette = -983, fillpen = 0})
OpenDisplay(4)
local penBare = snapshot("pen_bare.png")
Locate(0, 0)
InjectWindowMessage(4, {message = "char", char = "A"})
OnKeyWait(function()
  t.eq(snapshot("pen_echo.png"), penA, "the echo in pens")
  InjectWindowMessage(4, {message = "keydown", vk = 0x1B, scancode = 0x01})
end)
t.eq(InKeyStr(ALL), "", "given up")
t.eq(snapshot("pen_after.png"), penBare, "the pens under the echo are back")
SelectDisplay(1)
CloseDisplay(4)
CloseDisplay(3)

-- The echo must reach the window as it is typed: not inside a refresh block
-- or into a double buffer's back buffer.
BeginRefresh()
t.expect_error(1511, InKeyStr, ALL)
EndRefresh()
BeginDoubleBuffer()
t.expect_error(1511, InKeyStr, ALL)
EndDoubleBuffer()

-- A hook that fails ends the input with its error, and the echo goes.
start()
type("AB")
OnKeyWait(function() error("hook failed") end)
local ok, err = pcall(InKeyStr, ALL)
t.eq(ok, false, "failed")
assert(tostring(err):find("hook failed", 1, true), err)
t.eq(snapshot("hookfailed.png"), bare, "no echo after the hook's error")

-- A hook that frees the display ends the input: nothing of the display is
-- used after it.
CreateDisplay(5, {width = 64, height = 16, color = 0x102030})
OpenDisplay(5)
Locate(0, 0)
InjectWindowMessage(5, {message = "char", char = "Q"})
OnKeyWait(function()
  OnKeyWait(nil)
  SelectDisplay(9)
  FreeDisplay(5)
end)
t.expect_error(1687, InKeyStr, ALL)
OnKeyWait(nil)
SelectDisplay(1)

CloseDisplay(1)
CloseDisplay(9)
