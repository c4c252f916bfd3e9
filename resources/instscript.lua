-- Install script: the hooks the setup calls in order. Each records its turn
-- so a run can be followed; the product's install steps come with the host
-- library.
local function note(hook)
  local path = os.getenv("ZRB_HOOK_LOG")
  if not path then return end
  local log = io.open(path, "a")
  if log then
    log:write(hook, "\n")
    log:close()
  end
end

function ZRBSE_BeforeInit() note("BeforeInit") end
function ZRBSE_BeforeInstall() note("BeforeInstall") end
function ZRBSE_OnInstall() note("OnInstall") end
function ZRBSE_BeforeComplete() note("BeforeComplete") end
function ZRBSE_AfterComplete() note("AfterComplete") end
