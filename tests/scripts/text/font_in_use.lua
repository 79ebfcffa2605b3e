-- Script code that closes the font in use while a command runs: argument
-- tables' metamethods and finalizers. The command works with the font it
-- started with or fails cleanly; the font is closed afterwards and text goes
-- on in the default font (make asan checks that nothing freed is touched).
local t = require("testing")
CreateDisplay(1, {width = 64, height = 32})
OpenDisplay(1)

OpenFont(1, ":::default_sans", 12)
UseFont(1)
local closing = setmetatable({}, {__index = function() pcall(CloseFont, 1) end})
pcall(TextOut, 0, 0, "abc", closing)
t.expect_error(1334, GetAttribute, FONT, 1, ATTRFONTNAME)
assert(TextWidth("abc") > 0)

OpenFont(2, ":::default_sans", 14)
UseFont(2)
local proxy = newproxy(true)
getmetatable(proxy).__gc = function() pcall(CloseFont, 2) end
proxy = nil
collectgarbage()
t.expect_error(1334, GetAttribute, FONT, 2, ATTRFONTNAME)
assert(TextWidth("abc") > 0)

OpenFont(3, ":::default_sans", 16)
UseFont(3)
local replacing = setmetatable({}, {__index = function()
  pcall(CloseFont, 3)
  pcall(OpenFont, 3, ":::default_bitmap", 8)
end})
pcall(TextOut, 0, 0, "abc", replacing)
t.eq(GetAttribute(FONT, 3, ATTRFONTSIZE), 8, "the new font 3")
