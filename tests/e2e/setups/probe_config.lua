-- Configuration of the probe setup: every global the program reads comes
-- from the environment the test gives the run.
local function flag(name) return os.getenv(name) == "1" end

global_install_mutex_guid = os.getenv("T_MUTEX_GUID") or ""
global_app_id = tonumber(os.getenv("T_APP_ID") or "") or 0
global_enable_ss_install = flag("T_ENABLE_SS")
global_ss_install = flag("T_SS")
global_show_completewindow = flag("T_SHOW_COMPLETE")
global_install_path = os.getenv("T_INSTALL_PATH") or ""
