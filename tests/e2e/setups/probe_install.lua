-- Install script of the probe setup: each hook appends its name (and what
-- it sees) to the log file named by T_LOG; T_FAIL_HOOK names a hook that
-- raises an error; T_HOLD_FILE makes ZRBSE_BeforeInit wait until that file
-- exists, so a test can start a second instance meanwhile.
local function note(text)
  local path = os.getenv("T_LOG")
  if not path then return end
  local log = assert(io.open(path, "a"))
  log:write(text, "\n")
  log:close()
end

local function hook(name, extra)
  return function()
    note(name .. (extra and extra() or ""))
    if os.getenv("T_FAIL_HOOK") == name then
      error("probe failure in " .. name)
    end
  end
end

local function waitForFile(path)
  local deadline = os.clock() + 60
  while os.clock() < deadline do
    local f = io.open(path, "r")
    if f then f:close() return end
  end
end

local beforeInit = hook("BeforeInit")
function ZRBSE_BeforeInit()
  local hold = os.getenv("T_HOLD_FILE")
  if hold then note("Holding") waitForFile(hold) end
  beforeInit()
end
ZRBSE_BeforeInstall = hook("BeforeInstall", function() return " InstallPath=" .. tostring(InstallPath) end)
ZRBSE_OnInstall = hook("OnInstall")
ZRBSE_BeforeComplete = hook("BeforeComplete")
ZRBSE_AfterComplete = hook("AfterComplete")
note("loaded")
