-- Constants of every library are globals; the object sibling's commands are
-- there under both spellings.
local t = require("testing")

t.eq(MODE_READ, 1005, "MODE_READ")
t.eq(EOF, -1, "EOF")
t.eq(STDIN, "::stdin", "STDIN")
t.eq(type(GetAttribute), "function", "GetAttribute")
t.eq(getattribute, GetAttribute, "lower-case name")

-- Host argument-count errors carry their code.
t.expect_error(1901, GetAttribute, 44)
t.expect_error(1902, GetAttribute, 44, 1, 2, 3)
-- An unknown object type is a value out of range.
t.expect_error(1055, GetAttribute, 9999, 1, 1)
-- An unknown file number names the number.
local err = t.expect_error(1179, GetAttribute, FILE, 7, 1)
assert(string.find(err, "7", 1, true), err)
-- Registered types can be listed.
t.eq(#GetObjects(FILE), 0, "no files yet")
t.eq(GetObjects(FILE)[0], nil, "empty list")
