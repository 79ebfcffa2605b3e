-- Styled, wrapped text in four kinds of font: a font stored inside
-- text.tzx, a system font found by its family name, a font file, and the
-- built-in Amiga bitmap font topaz 8. With a window system it shows the page
-- until the window is closed; without one (tessera --headless, or no
-- DISPLAY) it writes the page to a PNG file and says where:
--   tessera examples/02-text.lua [page.png]
-- In scripts `print` is the text library's Print (every command is a global
-- in lower case too), so this script writes to the terminal with io.write.
local W, H = 640, 560

local paragraph = "[b]Tessera[/b] lays text out in [i]runs[/i]: words wrap at the " ..
  "margin, a soft hyphen in type\194\173setting shows only where a line breaks, and " ..
  "[color=#YELLOW]colours[/color], [u]underlines[/u] and " ..
  "[shadow=#BLUE,2,#SHDWSOUTHEAST]shadows[/shadow] change inside the string. " ..
  "Doubled brackets print one: [[like this]]."

local display = CreateDisplay(nil, {width = W, height = H, title = "Text in Tessera"})
OpenDisplay(display)
Cls(0x202830)

-- Print wraps at the margins and goes on below what it printed last.
SetMargins(12, W - 12)
Locate(12, 8)

local function block(title, font, size, style)
  local ok, err = pcall(SetFont, font, size)
  if not ok then
    io.write("skipped " .. title .. ": " .. tostring(err) .. "\n")
    return
  end
  SetFontStyle(style)
  SetFontColor(0x90C8FF)
  NPrint("[u]" .. title .. "[/u]")
  SetFontColor(0xF0F0F0)
  NPrint(paragraph)
  NPrint("")
end

block("A stored font: \":::default_sans\", 16 pixels", ":::default_sans", 16, ANTIALIAS)
block("A system font by its family: \"DejaVu Serif\", 16 pixels", "DejaVu Serif", 16, ANTIALIAS)
block("A font file: VeraMono.ttf, 14 pixels",
      "/usr/share/fonts/truetype/ttf-bitstream-vera/VeraMono.ttf", 14, ANTIALIAS)
block("The Amiga bitmap font topaz 8", "topaz", 8, NORMAL)  -- bitmap glyphs: no antialiasing

-- TextOut places text freely: a justified box and a bulleted list.
SetFont(":::default_sans", 14)
SetFontStyle(ANTIALIAS)
SetFontColor(0xA0E0A0)
TextOut(12, H - 96, "Lists nest with tabs:\n\tbullets by level\n\tnumbers restart\n\t\tin sub-lists",
        {listmode = true, listbullet = {[0] = BULLET_CIRCLE, BULLET_NUMERIC, BULLET_LALPHASINGLE}})
TextOut(330, H - 96, paragraph, {wordwrap = 296, align = JUSTIFIED, useformattags = true})

if GetAttribute(DISPLAY, display, ATTRADAPTER) == "headless" then
  local file = arg[1] or ((os.getenv("TMPDIR") or "/tmp") .. "/tessera-text.png")
  SaveSnapshot(file, SNAPWINDOW, nil, {format = IMGFMT_PNG})
  io.write("No window system here: the page is in " .. file .. "\n")
else
  io.write("Close the window to end.\n")
  while true do WaitEvent() end
end
