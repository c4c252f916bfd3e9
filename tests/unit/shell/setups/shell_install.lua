-- Install script of the shell probe setup: the install hook runs the script
-- file named by T_SHELL_SCRIPT, which calls report(name, value) for what the
-- test checks; the reported lines (and an error, if any) go to the file named
-- by T_SHELL_RESULT.
function ZRBSE_OnInstall()
  local lines = {}
  function report(name, value) lines[#lines + 1] = name .. "=" .. tostring(value) end
  local ok, message = pcall(dofile, os.getenv("T_SHELL_SCRIPT"))
  if not ok then report("error", message) end
  local out = assert(io.open(os.getenv("T_SHELL_RESULT"), "w"))
  out:write(table.concat(lines, "\n"), "\n")
  out:close()
end
