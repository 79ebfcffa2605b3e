-- The picture the display tests draw and compare with
-- tests/images/display/scene.bmp: a 64 × 48 display with a dark background
-- and four brushes, two of them touching.
local M = {}

M.width, M.height = 64, 48

M.options = {width = M.width, height = M.height, color = 0x203040, title = "Scene"}

-- The brushes (ids 901 to 904) with their places.
M.pieces = {
  {id = 901, x = 4, y = 4, w = 20, h = 10, color = 0xE03020},
  {id = 902, x = 24, y = 4, w = 10, h = 10, color = 0x30C050},
  {id = 903, x = 40, y = 28, w = 16, h = 16, color = 0x2060F0},
  {id = 904, x = 0, y = 40, w = 8, h = 8, color = 0xF0E040},
}

function M.make_brushes()
  for _, p in ipairs(M.pieces) do CreateBrush(p.id, p.w, p.h, p.color) end
end

function M.draw()
  for _, p in ipairs(M.pieces) do DisplayBrush(p.id, p.x, p.y) end
end

function M.free_brushes()
  for _, p in ipairs(M.pieces) do FreeBrush(p.id) end
end

-- The reference picture's bytes.
function M.reference()
  local f = assert(io.open(os.getenv("TESSERA_TEST_DATA") .. "/images/display/scene.bmp", "rb"))
  local s = f:read("*a")
  f:close()
  return s
end

return M
