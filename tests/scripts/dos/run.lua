-- Run: programs started at once, their output and their end delivered as
-- "RunOutput" and "RunFinished" events.
local t = require("testing")

local finished, output = {}, {}
InstallEventHandler({
  RunOutput = function(e)
    output[#output + 1] = e.output
    t.eq(e.action, "RunOutput", "output event name")
  end,
  RunFinished = function(e) finished[#finished + 1] = e end,
})

-- Waits for the next run to finish; returns its event and its output.
local function next_finished()
  while #finished == 0 do WaitEvent() end
  local e = table.remove(finished, 1)
  local text = table.concat(output)
  output = {}
  return e, text
end

-- Exit code, output as it came, the program and the user data.
local box = {tag = "box"}
Run("/bin/sh", "-c \"printf 'one '; printf two; exit 5\"", {userdata = box})
local e, text = next_finished()
t.eq(e.exitcode, 5, "exit code")
t.eq(e.program, "/bin/sh", "program")
t.eq(e.userdata, box, "user data")
t.eq(text, "one two", "output")

-- A quoted program path with its arguments splits at the closing quote;
-- nothing reaches a shell.
Run("\"/bin/echo\" \"a  b\" $HOME;x")
e, text = next_finished()
t.eq(e.program, "/bin/echo", "quoted program")
t.eq(text, "a  b $HOME;x\n", "quoted program's arguments")

-- A program that cannot be started ends with 127.
Run("/nonexistent/program", "x")
e, text = next_finished()
t.eq(e.exitcode, 127, "cannot start")
t.eq(text, "", "no output")

-- The reset-keys form: a number, then the user data.
Run("/bin/sh -c \"exit 3\"", 0, "third")
e = next_finished()
t.eq(e.exitcode, 3, "reset-keys form")
t.eq(e.userdata, "third", "user data after reset keys")

-- Output larger than any pipe arrives in pieces, all of it.
Run("/bin/sh", "-c \"head -c 3000000 /dev/zero\"")
e, text = next_finished()
t.eq(#text, 3000000, "large output")

-- The working directory.
Run("/bin/pwd", "", {directory = "/"})
e, text = next_finished()
t.eq(text, "/\n", "directory")

-- Ignored events are not delivered; the run still ends and is freed.
Run("/bin/sh", "-c \"exit 4\"", {ignorehandlers = "RunOutput"})
e, text = next_finished()
t.eq(e.exitcode, 4, "finished without output events")
Run("/bin/sh", "-c \"echo hidden > /dev/null\"", {ignorehandlers = "runoutput, runfinished"})

-- Failures of the request itself.
t.expect_error(1055, Run, "")
t.expect_error(1055, Run, "\"/bin/sh -c true")
t.expect_error(1286, Run, "/bin/true", "", {directory = "no such folder"})

-- A program still running when the script ends does not hold the close up.
Run("/bin/sleep", "2", {userdata = {}})
