-- GetEnv, SetEnv and UnsetEnv.
local t = require("testing")

local NAME = "TESSERA_DOS_TEST_VARIABLE"
UnsetEnv(NAME)
local value, set = GetEnv(NAME)
t.eq(value, "", "unset value")
t.eq(set, 0, "unset flag")

SetEnv(NAME, "caf\195\169 = 1")
value, set = GetEnv(NAME)
t.eq(value, "caf\195\169 = 1", "value set")
t.eq(set, 1, "set flag")
t.eq(os.getenv(NAME), "caf\195\169 = 1", "seen by the process")

-- An empty value is set, not unset.
SetEnv(NAME, "")
value, set = GetEnv(NAME)
t.eq(value, "", "empty value")
t.eq(set, 1, "still set")

UnsetEnv(NAME)
t.eq(select(2, GetEnv(NAME)), 0, "unset again")
UnsetEnv(NAME)

-- Names the environment cannot hold are refused instead of set in part.
t.expect_error(1055, SetEnv, "", "x")
t.expect_error(1055, SetEnv, "A=B", "x")
t.expect_error(1055, SetEnv, "A\0B", "x")
t.expect_error(1055, SetEnv, NAME, "x\0y")
t.expect_error(1055, UnsetEnv, "")
t.eq(select(2, GetEnv("")), 0, "an empty name is never set")
t.eq(select(2, GetEnv(NAME)), 0, "nothing was set")
