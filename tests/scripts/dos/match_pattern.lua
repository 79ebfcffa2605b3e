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

-- The last pattern stays compiled: patterns that differ only in case, or in a
-- later alternative, alternate without one answering for the other, also once
-- the kept one has been collected.
local upper, lower = "*.TXT", "*.txt"
for round = 1, 3 do
  t.eq(MatchPattern("a.txt", upper), 0) t.eq(MatchPattern("a.txt", lower), 1)
  t.eq(MatchPattern("a.TXT", upper), 1) t.eq(MatchPattern("a.TXT", lower), 0)
  t.eq(MatchPattern("b", "a;b"), 1) t.eq(MatchPattern("b", "a;c"), 0)
  collectgarbage()
end
t.eq(MatchPattern("abc", string.rep("?", 300) .. ";abc"), 1, "too long to keep compiled")
t.eq(MatchPattern("abc", string.rep("x;", 20) .. "abc"), 1, "too many alternatives to keep")
