-- tessera: --link fonts/Vera.ttf=vera.linked --link fonts/cut.ttf=cut.linked
-- Fonts linked into the program: SetFont finds them by their linked names and
-- opens the font file behind the header.
local t = require("testing")

local path = "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf"
local file = io.open(path, "rb")
local vera = file:read("*a")
file:close()
-- Flags 3: an outline font with a block of three bytes before it.
t.write_file("vera.linked", "\0\0\0\3" .. "\0\0\0\3" .. "abc" .. vera)
-- The block claims more than is linked.
t.write_file("cut.linked", "\0\0\0\2" .. "\0\0\1\0" .. "abc")

for _, engine in ipairs({FONTENGINE_INBUILT, FONTENGINE_NATIVE}) do
  SetFont(path, 20, {engine = engine})
  local width = TextWidth("Linked fonts")
  SetFont("fonts/Vera.ttf", 20, {engine = engine})
  t.eq(TextWidth("Linked fonts"), width, "the linked file is the same font")
end
OpenFont(1, "fonts/Vera.ttf", 30)
t.eq(GetAttribute(FONT, 1, ATTRFONTTYPE), FONTTYPE_VECTOR, "an outline font")
CloseFont(1)

t.expect_error(1009, SetFont, "fonts/cut.ttf", 20)
-- A name nothing is linked under is a path like any other.
t.expect_error(1064, SetFont, "fonts/Other.ttf", 20)
SetFont(":::default_bitmap", 8)
