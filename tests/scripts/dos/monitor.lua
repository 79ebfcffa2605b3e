-- MonitorDirectory: changes of a watched folder delivered as
-- "DirectoryChanged" events.
local t = require("testing")

local events = {}
InstallEventHandler({DirectoryChanged = function(e) events[#events + 1] = e end})

local function touch(name)
  t.write_file(name, "x")
end
-- Waits until `n` events have arrived.
local function wait_for(n)
  while #events < n do WaitEvent() end
end
-- Lets the monitors' threads see what happened and lets a coalescing window
-- close.
local function settle()
  Execute("/bin/sleep", "0.15")
  CheckEvents()
end

-- Folders left by an earlier run of this test go first.
for _, folder in ipairs({"watched", "other", "doomed"}) do
  if Exists(folder) then DeleteFile(folder) end
end
MakeDirectory("watched")
-- Each change reported with its entry's name; a rename is the old name
-- removed and the new one added.
local h = MonitorDirectory(nil, "watched", {reportchanges = 1, userdata = "mine"})
touch("watched/a.txt")
wait_for(1)
t.eq(events[1].name, "a.txt", "added entry")
t.eq(events[1].change, "added", "added")
t.eq(events[1].userdata, "mine", "user data")
t.eq(events[1].id, h, "the monitor's handle")
settle()
events = {}
os.rename("watched/a.txt", "watched/b.txt")
wait_for(2)
t.eq(events[1].change .. " " .. events[1].name, "removed a.txt", "rename: old name")
t.eq(events[2].change .. " " .. events[2].name, "added b.txt", "rename: new name")
events = {}
os.remove("watched/b.txt")
wait_for(1)
t.eq(events[1].change .. " " .. events[1].name, "removed b.txt", "deleted")

-- A monitor lists nothing.
t.expect_error(1055, NextDirectoryEntry, h)
t.expect_error(1055, RewindDirectory, h)
t.expect_error(1055, CountDirectoryEntries, h)
t.expect_error(1055, GetDirectoryEntry, h, "x")
t.expect_error(1055, GetAttribute, DIRECTORY, h, ATTRADAPTER)
t.eq(GetAttribute(DIRECTORY, h, ATTRFORMAT), "", "no format")

-- Closed, it reports nothing more.
CloseDirectory(h)
events = {}
touch("watched/after.txt")
settle()
t.eq(#events, 0, "no events after CloseDirectory")

-- A change made before CloseDirectory still arrives with its own user data,
-- though the monitor's reference went with it and was used again since.
local box = {}
MonitorDirectory(5, "watched", {reportchanges = 1, userdata = box})
touch("watched/late.txt")
Execute("/bin/sleep", "0.1")
CloseDirectory(5)
MakeDirectory("other")
MonitorDirectory(6, "other", {userdata = "intruder"})
events = {}
CheckEvents()
t.eq(events[1].userdata, box, "user data of a change queued before the close")
CloseDirectory(6)
events = {}

-- Without "reportchanges", changes within 0.1 s make one event.
MonitorDirectory(2, "watched", {userdata = 2})
touch("watched/c1.txt")
touch("watched/c2.txt")
wait_for(1)
settle()
t.eq(#events, 1, "two changes within 0.1 s, one event")
t.eq(events[1].name, nil, "no entry name")
t.eq(events[1].userdata, 2, "user data")
-- A change after the window makes an event of its own.
events = {}
touch("watched/c3.txt")
wait_for(1)
settle()
t.eq(#events, 1, "a later change")

-- A numeric id closes the monitor that had it; "all" reports every change.
MonitorDirectory(2, "watched", {all = 1})
events = {}
touch("watched/d1.txt")
wait_for(1)
touch("watched/d2.txt")
wait_for(2)
t.eq(events[1].id, 2, "numeric id")

-- A missing folder fails at once.
t.expect_error(1627, MonitorDirectory, 3, "no such folder")
t.expect_error(1318, CloseDirectory, 3)

CloseDirectory(2)
settle()

-- A watched folder deleted ends its monitor with a last event.
MakeDirectory("doomed")
MonitorDirectory(4, "doomed", {reportchanges = 1})
events = {}
DeleteFile("doomed")
wait_for(1)
t.eq(events[#events].change, "removed", "folder gone")
t.eq(events[#events].name, "", "named by the empty string")
t.eq(events[#events].id, 4, "the deleted folder's monitor")
CloseDirectory(4)

-- Left open: closed with the library.
MonitorDirectory(nil, "watched", {userdata = {}})
