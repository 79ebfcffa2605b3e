-- A display in layer mode: what is drawn into it (printed text, brushes,
-- text objects) becomes layers of its own, numbered in drawing order, drawn
-- over the display's picture; Cls removes them, "insertpos" puts one below
-- others, a new size draws them again, and freeing the display frees them.
local t = require("testing")

local function snapshot(name)
  SaveSnapshot(name, SNAPDISPLAY, nil, {format = IMGFMT_PNG})
  return t.read_file(name)
end
local function layers(id) return GetAttribute(DISPLAY, id, ATTRLAYERS) end
CreateBrush(5, 6, 6, 0xFF0000)

-- The same drawing on a display without layers gives the pictures to
-- compare with.
CreateDisplay(9, {width = 64, height = 16, color = 0x102030})
OpenDisplay(9)
local bare = snapshot("bare.png")
TextOut(0, 0, "AB")
local ab = snapshot("ab.png")
Locate(20, 4)
Print("xy")
DisplayBrush(5, 30, 2)
local all = snapshot("all.png")
Cls()
TextOut(0, 0, "B")
TextOut(0, 0, "A")
local aOverB = snapshot("aoverb.png")
Cls()
DisplayBrush(5, 30, 2)
local brushOnly = snapshot("brush.png")

CreateDisplay(1, {width = 64, height = 16, color = 0x102030, layers = true})
OpenDisplay(1)
t.eq(GetAttribute(DISPLAY, 1, ATTRLAYERSON), 1, "layer mode")
t.eq(layers(1), 0, "no layers yet")
TextOut(0, 0, "AB")
t.eq(layers(1), 1, "TextOut made a layer")
t.eq(snapshot("l_ab.png"), ab, "the layer shows the text")
Locate(20, 4)
Print("xy")
DisplayBrush(5, 30, 2)
t.eq(layers(1), 3, "Print and DisplayBrush made layers")
t.eq(snapshot("l_all.png"), all, "all three shown")
-- Layers are numbered in drawing order; 1 (the text) and 3 (the brush) do
-- not meet, 2 and 3 do not either, and a layer meets itself.
t.eq(Collision(22, 1, 3), 0, "text and brush apart")
t.eq(Collision(22, 3, 3), 1, "a layer meets itself")
t.expect_error(1081, Collision, 22, 1, 7)
-- A brush freed while a layer shows it: the layer keeps its own planes.
FreeBrush(5)
t.eq(snapshot("l_freed.png"), all, "the layer stays")

-- A new size lifts the layers and draws them onto the new picture.
ChangeDisplaySize(80, 20)
t.eq(layers(1), 3, "layers kept")
ChangeDisplaySize(64, 16)
t.eq(snapshot("l_resized.png"), all, "drawn again at the same places")

-- A text object shown is a layer too, and stays when the object goes.
CreateTextObject(1, "T")
DisplayTextObject(1, 50, 0)
t.eq(layers(1), 4, "the text object's layer")
FreeTextObject(1)
t.eq(layers(1), 4, "kept")

-- Cls removes every layer.
Cls()
t.eq(layers(1), 0, "Cls removed them")
t.eq(snapshot("l_cls.png"), bare, "nothing left")

-- "insertpos" 1 puts a layer at the bottom: B under A, as drawn in the
-- other order. Negative positions are refused; large ones go on top.
TextOut(0, 0, "A")
TextOut(0, 0, "B", {insertpos = 1})
t.eq(snapshot("l_order.png"), aOverB, "B went under A")
t.expect_error(1370, TextOut, 0, 0, "C", {insertpos = -1})
TextOut(40, 0, "C", {insertpos = 99})
t.eq(layers(1), 3, "on top")

-- A line typed on a display in layer mode: its echo layers go when the
-- input ends, and the printed line is one layer.
Locate(0, 8)
for _, c in ipairs({"h", "i"}) do InjectWindowMessage(1, {message = "char", char = c}) end
OnKeyWait(function()
  t.eq(layers(1), 5, "three layers and two echoed characters")
  InjectWindowMessage(1, {message = "keydown", vk = 0x0D, scancode = 0x1C})
end)
t.eq(InKeyStr(ALL), "hi", "typed")
t.eq(layers(1), 4, "the echo went, the line is a layer")

-- A display without layer mode takes no insert position.
SelectDisplay(9)
Cls()
CreateBrush(5, 6, 6, 0xFF0000)
DisplayBrush(5, 30, 2, {insertpos = -1})
t.eq(snapshot("plain.png"), brushOnly, "drawn, not a layer")
t.eq(layers(9), 0, "no layers")

-- Freeing a display frees its layers (the leak check sees the rest).
SelectDisplay(1)
CreateDisplay(2, {width = 32, height = 16, layers = true})
OpenDisplay(2)
TextOut(0, 0, "gone")
DisplayBrush(5, 0, 0)
t.eq(layers(2), 2, "two layers")
SelectDisplay(1)
CloseDisplay(2)
FreeDisplay(2)
FreeBrush(5)
