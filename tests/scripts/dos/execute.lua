-- Execute: programs started without a shell, their exit code and captured
-- standard output.
local t = require("testing")

-- The exit code and everything written, through a shell the script names.
local code, out = Execute("/bin/sh", "-c \"printf 'one\\ntwo'; exit 3\"", {captureoutput = 1})
t.eq(code, 3, "exit code")
t.eq(out, "one\ntwo", "output")

-- Each argument a program receives, written to args.txt as [arg].
t.write_file("args.sh", 'for a in "$@"; do printf "[%s]" "$a"; done > args.txt\n')

-- A quoted program path with its arguments and no argument string splits at
-- the closing quote; blanks inside quotes stay in one argument, and nothing
-- reaches a shell.
Execute("\"/bin/sh\" args.sh \"x  y\" \"\" $HOME;z *")
t.eq(t.read_file("args.txt"), "[x  y][][$HOME;z][*]", "quoted program split at the closing quote")
Execute("/bin/sh args.sh a\"b c\"d")
t.eq(t.read_file("args.txt"), "[ab cd]", "unquoted program split at the first blank")
t.expect_error(1055, Execute, "\"/bin/sh args.sh", 0)
code, out = Execute("/bin/echo", "a  \"b  c\" $HOME;x", {captureoutput = 1})
t.eq(code, 0, "echo exit code")
t.eq(out, "a b  c $HOME;x\n", "arguments as written")

-- A program found on PATH, and nothing written.
code, out = Execute("true", "", {captureoutput = 1})
t.eq(code, 0, "true")
t.eq(out, "", "no output")

-- Output larger than any pipe is read as it comes, whole across the growth of
-- its buffer (huge pages from 4 MB on).
os.execute("seq 1 1300000 > numbers.txt")
code, out = Execute("/bin/cat", "numbers.txt", {captureoutput = 1})
t.eq(code, 0, "large output exit code")
t.eq(#out, 9288896, "large output length")
t.eq(out == t.read_file("numbers.txt"), true, "large output as written")

-- A signal's end as 128 plus its number.
code = Execute("/bin/sh", "-c \"kill -9 $$\"", {captureoutput = 1})
t.eq(code, 137, "killed")

-- A program that cannot be started reports 127; without capture it fails.
code, out = Execute("/nonexistent/program", "x", {captureoutput = 1})
t.eq(code, 127, "cannot start")
t.eq(out, "", "no output when not started")
t.expect_error(1045, Execute, "/nonexistent/program")
t.expect_error(1045, Execute, "tessera-no-such-program-on-path x")

-- Without capture Execute waits for the program.
Execute("/bin/sh", "-c \"sleep 0.1; echo done > waited.txt\"")
t.eq(t.read_file("waited.txt"), "done\n", "waited for the program")
Execute("/bin/sh -c exit", 0)

-- "directory" is the program's working directory and must exist.
local f = io.open("sub_marker", "w")
f:close()
code, out = Execute("/bin/sh", "-c pwd", {captureoutput = 1, directory = "/"})
t.eq(out, "/\n", "working directory")
t.expect_error(1286, Execute, "/bin/true", "", {directory = "no such folder"})
t.expect_error(1286, Execute, "/bin/true", "", {directory = "sub_marker"})

-- Empty names and names the system cannot hold.
t.expect_error(1055, Execute, "")
t.expect_error(1055, Execute, "\"\" x")
t.expect_error(1055, Execute, "/bin/echo", "a\0b", {captureoutput = 1})
t.expect_error(1055, Execute, "/bin/ec\0ho", "", {captureoutput = 1})

-- A program stored as a virtual file is started from a copy, as often as asked.
local stored = DefineVirtualFileFromString("#!/bin/sh\nprintf 'stored %s' \"$1\"\n", "stored.sh")
code, out = Execute(stored, "one", {captureoutput = 1})
t.eq(out, "stored one", "stored program")
code, out = Execute(stored, "three", {captureoutput = 1})
t.eq(code .. " " .. out, "0 stored three", "stored program again")
