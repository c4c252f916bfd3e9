-- Install script of the bridge probe: ZRBSE_BeforeInit calls system functions
-- through GLibTab and logs their results to the file T_LOG; with
-- T_BAD_ARGUMENT set it then passes a table to a native function.
local function note(text)
  local log = assert(io.open(os.getenv("T_LOG"), "a"))
  log:write(text, "\n")
  log:close()
end

function ZRBSE_BeforeInit()
  local k = GLibTab.kernel32
  note("pid " .. k:Get("GetCurrentProcessId", "uint")())
  local path = WString.New(260)
  local length = k:Get("GetModuleFileNameW", "uint")(nil, path, 260)
  note("module " .. length .. " " .. tostring(path))
  local exists = GLibTab.Shlwapi:Get("PathFileExistsA", "int")
  note("exists " .. exists(AString.New(nil, path)))
  note("get on a table " .. select(2, k.Get({}, "Sleep")))
  note("missing export " .. select(2, k:Get("NoSuchExportZrb")))
  local bad = os.getenv("T_BAD_ARGUMENT")
  if bad then
    k:Get("CreateDirectoryW", "bool")(WString.New(0, bad), {})
  end
  note("done")
end

function ZRBSE_AfterComplete() note("AfterComplete") end
