-- Frame limits and vertical waits. How long a frame wait sleeps is checked by
-- the unit tests, which have a wall clock.
local t = require("testing")

t.eq(GetFPSLimit(), 60, "default limit")
SetFPSLimit(0)
t.eq(GetFPSLimit(), 60, "0 stores 60")
SetFPSLimit(25.9)
t.eq(GetFPSLimit(), 25, "truncated")
SetFPSLimit(-5)
t.eq(GetFPSLimit(), 60, "negative stores 60")
-- Below one frame a second the truncated limit would be 0, and a frame would
-- last 1000000 / 0 microseconds.
SetFPSLimit(0.5)
t.eq(GetFPSLimit(), 60, "below 1 stores 60")
SetFPSLimit(1e12)
t.eq(GetFPSLimit(), 1000000, "capped at a million")

t.expect_error(1687, VWait)
CreateDisplay(1, {width = 16, height = 16})
OpenDisplay(1)
SetFPSLimit(1000)
for _ = 1, 5 do VWait() end

-- With the wait switched off neither VWait nor Flip waits, even at one
-- frame a second.
SetFPSLimit(1)
DisableVWait()
local start = os.time()
for _ = 1, 5 do VWait() end
BeginDoubleBuffer()
for _ = 1, 5 do Flip() end
EndDoubleBuffer()
t.eq(os.time() - start <= 1, true, "no waiting")
EnableVWait()
SetFPSLimit(1000)
VWait()
