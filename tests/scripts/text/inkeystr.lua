-- InKeyStr fed with injected window messages: typing, the filters and the
-- limit, caret moves, backspace and delete, Return and keypad Enter, Escape,
-- password echo, pasting with Ctrl+V, and the refusals.
local t = require("testing")

-- Without an output, or on an output that is no display.
t.expect_error(1687, InKeyStr, ALL)
CreateBrush(9, 8, 8, 0, {alphachannel = true})
CreateBrush(8, 8, 8, 0, {mask = true})
SelectBrush(9)
t.expect_error(1082, InKeyStr, ALL)
EndSelect()
SelectBrush(9, ALPHACHANNEL)
t.expect_error(1167, InKeyStr, ALL)
EndSelect()
SelectBrush(8, MASK)
t.expect_error(1147, InKeyStr, ALL)
EndSelect()

CreateDisplay(1, {width = 160, height = 40, color = 0x000000})
OpenDisplay(1)
t.expect_error(1055, InKeyStr, 7)
t.expect_error(1055, InKeyStr, ALL, -1)
t.expect_error(1685, InKeyStr, ALL, 0, 0, 1)  -- a caret needs the draw library

local function send(message) InjectWindowMessage(1, message) end
local function type(text)
  for i = 1, #text do send({message = "char", char = text:sub(i, i)}) end
end
-- Keys by virtual key and scan code, pressed and released.
local keys = {
  left = {0x25, 0x14B}, right = {0x27, 0x14D}, back = {0x08, 0x0E}, delete = {0x2E, 0x153},
  enter = {0x0D, 0x1C}, npenter = {0x0D, 0x11C}, escape = {0x1B, 0x01}, ctrl = {0x11, 0x1D},
  v = {0x56, 0x2F},
}
local function press(name)
  local k = keys[name]
  send({message = "keydown", vk = k[1], scancode = k[2]})
  send({message = "keyup", vk = k[1], scancode = k[2]})
end

-- Typing, then Return: the text comes back and is printed where it was typed.
Locate(0, 0)
type("hello")
press("enter")
local keyDowns = 0
InstallEventHandler({KeyDown = function() keyDowns = keyDowns + 1 end})
t.eq(InKeyStr(ALL), "hello", "typed")
CheckEvents()
t.eq(keyDowns, 1, "the input takes raw keys and characters; other events stay queued")
InstallEventHandler({KeyDown = false})
-- No key left over: nothing can come without a window system.
t.expect_error(1905, InKeyStr, ALL)

-- Caret moves, backspace and delete: "abcd", left twice, backspace removes
-- b, delete removes c, then x goes between a and d.
type("abcd")
press("left")
press("left")
press("back")
press("delete")
type("x")
press("npenter")
t.eq(InKeyStr(ALL), "axd", "edited")
-- At the ends nothing moves or goes.
press("back")
press("delete")
press("left")
type("q")
press("right")
press("right")
type("r")
press("enter")
t.eq(InKeyStr(ALL), "qr", "ends")

-- Filters and the length limit.
type("a1-B2fG.")
press("enter")
t.eq(InKeyStr(ALPHANUMERICAL), "a1B2fG", "alphanumerical")
type("a1-B2fG.")
press("enter")
t.eq(InKeyStr(ALPHABETICAL), "aBfG", "alphabetical")
type("a1-B2fG.")
press("enter")
t.eq(InKeyStr(NUMERICAL), "12", "numerical")
type("a1-B2fG.")
press("enter")
t.eq(InKeyStr(HEXNUMERICAL), "a1B2f", "hexadecimal")
type("abcdef")
press("enter")
t.eq(InKeyStr(ALL, 3), "abc", "at most three")
-- UTF-8 characters count once and take their bytes.
send({message = "char", char = 0xE9})
send({message = "char", char = 0x20AC})
press("enter")
t.eq(InKeyStr(ALL, 2), "\195\169\226\130\172", "two characters of five bytes")

-- The buffer holds 4095 bytes.
type(string.rep("z", 5000))
press("enter")
t.eq(#InKeyStr(ALL), 4095, "a full buffer")

-- Escape gives up: nothing typed comes back.
type("gone")
press("escape")
t.eq(InKeyStr(ALL), "", "escape")

-- Pasting: the clipboard's characters through the filter; a line end ends
-- the input. Without text nothing happens.
SetClipboardText("12ab")
type("x")
send({message = "keydown", vk = 0x11, scancode = 0x1D})
press("v")
send({message = "keyup", vk = 0x11, scancode = 0x1D})
press("enter")
t.eq(InKeyStr(ALPHABETICAL), "xab", "pasted through the filter")
SetClipboardText("one\ntwo")
send({message = "keydown", vk = 0x11, scancode = 0x1D})
press("v")
send({message = "keyup", vk = 0x11, scancode = 0x1D})
t.eq(InKeyStr(ALL), "one", "a pasted line end ends the input")
t.eq(GetClipboardText(), "one\ntwo", "the clipboard keeps its text")
press("v")  -- V without Ctrl is no paste
press("enter")
t.eq(InKeyStr(ALL), "", "V alone types nothing")
SetClipboardText(nil)
t.eq(GetClipboardText(), nil, "emptied")
send({message = "keydown", vk = 0x11, scancode = 0x1D})
press("v")
send({message = "keyup", vk = 0x11, scancode = 0x1D})
press("enter")
t.eq(InKeyStr(ALL), "", "nothing to paste")

-- What is left on the display is the printed line, the echo gone: the same
-- picture as text drawn on a fresh display. Password input prints stars and
-- returns the text.
local function snapshot(name)
  SaveSnapshot(name, SNAPDISPLAY, nil, {format = IMGFMT_PNG})
  local f = assert(io.open(name, "rb"))
  local bytes = f:read("*a")
  f:close()
  return bytes
end
CreateDisplay(2, {width = 160, height = 40, color = 0x000000})
OpenDisplay(2)
Locate(0, 0)
local function type2(text)
  for i = 1, #text do InjectWindowMessage(2, {message = "char", char = text:sub(i, i)}) end
end
type2("secret")
InjectWindowMessage(2, {message = "keydown", vk = 0x0D, scancode = 0x1C})
t.eq(InKeyStr(ALL, 0, 1), "secret", "password mode returns the text")
type2("next")
InjectWindowMessage(2, {message = "keydown", vk = 0x0D, scancode = 0x1C})
t.eq(InKeyStr(ALL), "next", "second line")
local typed = snapshot("typed.png")
CreateDisplay(3, {width = 160, height = 40, color = 0x000000})
OpenDisplay(3)
TextOut(0, 0, "******")
TextOut(0, 8, "next")
t.eq(snapshot("drawn.png"), typed, "stars, then the next line below")
-- Shadows of removed characters go with them.
CreateDisplay(4, {width = 160, height = 40, color = 0x000000})
OpenDisplay(4)
SetFontStyle(SHADOW, {shadowsize = 3, shadowcolor = 0xFF0000})
Locate(0, 0)
for _, c in ipairs({"W", "W", "x"}) do InjectWindowMessage(4, {message = "char", char = c}) end
InjectWindowMessage(4, {message = "keydown", vk = 0x08, scancode = 0x0E})
InjectWindowMessage(4, {message = "keydown", vk = 0x08, scancode = 0x0E})
InjectWindowMessage(4, {message = "keydown", vk = 0x0D, scancode = 0x1C})
t.eq(InKeyStr(ALL), "W", "two removed")
local shadowed = snapshot("shadowed.png")
CloseDisplay(3)
CreateDisplay(3, {width = 160, height = 40, color = 0x000000})
OpenDisplay(3)
TextOut(0, 0, "W")
t.eq(snapshot("drawn_shadow.png"), shadowed, "no echo left behind")
SetFontStyle(NORMAL)
CloseDisplay(4)
CloseDisplay(3)
CloseDisplay(2)
CloseDisplay(1)
FreeBrush(9)
FreeBrush(8)
