-- Install script of the payload probe: runs the Lua file named by T_SCRIPT,
-- which the test writes, as soon as the setup starts.
local script = os.getenv("T_SCRIPT")
if script then dofile(script) end
