-- Finalizers that run when the interpreter closes, after the libraries are
-- closed: their commands are refused, nothing is made that no one frees.
local made = {}
local function at_close(fn)
  local proxy = newproxy(true)
  getmetatable(proxy).__gc = fn
  made[#made + 1] = proxy
end
at_close(function() CreateDisplay(2) end)
at_close(function() CreateBrush(nil, 8, 8) end)
at_close(function() OpenFile(nil, "made-at-close.txt", MODE_WRITE) end)
at_close(function() CreateBrush(7, 8, 8) end)
-- Kept to the end in a global.
KEEP = made
