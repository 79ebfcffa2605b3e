-- MatchPattern as scripts call it: results are 1 or 0.
local t = require("testing")

t.eq(MatchPattern("file12.txt", "file##.txt"), 1, "digits")
t.eq(MatchPattern("File.txt", "file.txt"), 0, "case")
t.eq(MatchPattern("a.jpg", "*.png;*.jpg"), 1, "alternatives")
t.eq(MatchPattern("b", "[!a-c]"), 0, "negated range")
t.eq(MatchPattern("]", "[]]"), 1, "lone ]")
t.eq(matchpattern("x", "?"), 1, "lower-case name")
t.eq(MatchPattern("a\0b", "a?b"), 1, "a NUL is a character")
t.eq(MatchPattern(12, "##"), 1, "numbers are strings")
t.expect_error(1901, MatchPattern, "a")
