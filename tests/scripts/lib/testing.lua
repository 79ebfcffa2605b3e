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

-- A file shipped with the tests (tests/<path>).
function M.data(path)
  return os.getenv("TESSERA_TEST_DATA") .. "/" .. path
end

return M
