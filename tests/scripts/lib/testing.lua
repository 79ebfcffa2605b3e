-- Small helpers for script tests. Each test runs in its own scratch folder.
local M = {}

-- Runs fn(...) and checks that it fails with the host error `code`; returns
-- the message.
function M.expect_error(code, fn, ...)
  local ok, err = pcall(fn, ...)
  if ok then
    error("expected error " .. code .. ", but the call succeeded", 2)
  end
  if not string.find(tostring(err), "(error " .. code .. ")", 1, true) then
    error("expected error " .. code .. ", got: " .. tostring(err), 2)
  end
  return err
end

function M.eq(actual, expected, what)
  if actual ~= expected then
    error((what or "value") .. ": expected " .. tostring(expected) .. ", got " .. tostring(actual), 2)
  end
end

function M.near(actual, expected, tolerance, what)
  if math.abs(actual - expected) > tolerance then
    error((what or "value") .. ": expected " .. tostring(expected) .. " +- " .. tolerance ..
      ", got " .. tostring(actual), 2)
  end
end

-- Writes `bytes` to a file in the scratch folder and returns its name.
function M.write_file(name, bytes)
  local f = assert(io.open(name, "wb"))
  f:write(bytes)
  f:close()
  return name
end

function M.read_file(name)
  local f = assert(io.open(name, "rb"))
  local s = f:read("*a")
  f:close()
  return s
end

-- The colour (or pen) of one pixel of a picture file, read through brush 999.
function M.pixel(file, x, y)
  LoadBrush(999, file)
  local c = ReadBrushPixel(999, x, y)
  FreeBrush(999)
  return c
end

-- A file shipped with the tests (tests/<path>).
function M.data(path)
  return os.getenv("TESSERA_TEST_DATA") .. "/" .. path
end

-- Arranges for fn to run as a finalizer at the interpreter's next
-- allocation (every allocation then runs a whole collection), so that it runs
-- inside the command called next. Returns a function that restores the
-- collector and gives back what pcall(fn) returned, in a table.
function M.finalizer_at_next_allocation(fn)
  local result
  local function finished()
    collectgarbage("setpause", 200)
    collectgarbage("setstepmul", 200)
    collectgarbage("collect")
    return result
  end
  -- Made in a call of its own, so that no stack slot keeps it.
  local function make()
    local proxy = newproxy(true)
    getmetatable(proxy).__gc = function() result = {pcall(fn)} end
  end
  collectgarbage("setpause", 0)
  collectgarbage("setstepmul", 0)
  collectgarbage("collect")
  make()
  return finished
end

return M
