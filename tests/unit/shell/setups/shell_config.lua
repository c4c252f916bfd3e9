-- Configuration of the shell probe setup: a silent run without pages, under
-- a mutex of its own so that it runs beside the other probe setups.
global_install_mutex_guid = "Local\\ZrbShellProbeSetup"
global_enable_ss_install = true
global_ss_install = true
global_show_completewindow = false
