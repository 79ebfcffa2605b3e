-- Every command of every library, called with tables whose metamethods (and
-- finalizers run by the interpreter's allocations) free, replace and close
-- the objects in use. Failing is fine; crashing, leaking or touching freed
-- memory (make asan) is not.

-- Commands that wait for the user or the clock, or start programs.
local skip = {WaitEvent = true, InKeyStr = true, Run = true, Execute = true, OpenURL = true,
              VWait = true, Flip = true, Wait = true, Sleep = true}

local commands = {}
for name, fn in pairs(_G) do
  if type(fn) == "function" and name:find("^%u") and _G[name:lower()] == fn and not skip[name] then
    commands[#commands + 1] = name
  end
end
table.sort(commands)
assert(#commands > 100, "commands found: " .. #commands)

local function quietly(fn, ...) pcall(fn, ...) end

-- The objects the commands are given, made again before every call.
local wrecked = true
local function make_objects()
  while pcall(EndSelect) do end
  quietly(CreateBrush, 1, 8, 8, 0x808080)
  quietly(CreateBrush, 2, 8, 8, 1, {depth = 8})
  -- Windows are served by the window thread: only made again after a wreck.
  if wrecked then
    if not pcall(GetAttribute, DISPLAY, 1, ATTRWIDTH) then
      quietly(CreateDisplay, 1, {width = 16, height = 16})
    end
    quietly(OpenDisplay, 1)
    quietly(SelectDisplay, 1)
    wrecked = false
  end
  quietly(StringToFile, "line one\nline two\n", "data.txt")
  quietly(OpenFile, 1, "data.txt", MODE_READWRITE)
  quietly(OpenFont, 1, ":::default_sans", 12)
  quietly(UseFont, 1)
  quietly(CreateTextObject, 1, "text")
end

local function wreck()
  wrecked = true
  quietly(EndSelect)
  quietly(FreeBrush, 1)
  quietly(CreateBrush, 2, 1, 1)
  quietly(EndDoubleBuffer)
  quietly(SetDisplayAttributes, {width = 3, height = 3})
  quietly(CloseDisplay, 1)
  quietly(FreeDisplay, 1)
  quietly(CloseFile, 1)
  quietly(OpenFile, 1, "data.txt")
  quietly(CloseFont, 1)
  quietly(SetFont, ":::default_bitmap", 8)
  quietly(FreeTextObject, 1)
  quietly(CreateTextObject, 1, "other")
end

-- Finalizers run by the next allocation, while the command runs.
local function wreck_later()
  local proxy = newproxy(true)
  getmetatable(proxy).__gc = wreck
end

local function hostile(kind)
  local calls = 0
  local function each()
    calls = calls + 1
    if calls > 3 then return nil end  -- tables read in loops end
    if kind == 1 then wreck() else wreck_later() end
    return nil
  end
  return setmetatable({}, {__index = function() return each() end, __len = function()
    each()
    return 0
  end, __newindex = function() each() end})
end

local fillers = {1, 1, 1, 1, 1, 1, 1, 1}
for _, name in ipairs(commands) do
  for position = 1, 6 do
    for kind = 1, 2 do
      make_objects()
      local args = {}
      for i = 1, position - 1 do args[i] = fillers[i] end
      args[position] = hostile(kind)
      if kind == 2 then
        collectgarbage("setpause", 0)
        collectgarbage("setstepmul", 0)
      end
      pcall(_G[name], unpack(args, 1, position))
      collectgarbage("setpause", 200)
      collectgarbage("setstepmul", 200)
      collectgarbage("collect")
    end
  end
end

-- What is left is freed by the libraries' close, which the leak check
-- follows.
while pcall(EndSelect) do end
