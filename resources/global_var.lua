-- Configuration of the setup: product names, folders and switches read by
-- the program and the install script. (Placeholder values until the product
-- ships its own configuration.)
global_product_name = "Pomelia"
global_install_path = os.getenv("ProgramFiles") and (os.getenv("ProgramFiles") .. "\\Pomelia") or "C:\\Pomelia"
global_install_mutex_guid = ""
global_app_id = 0
global_enable_ss_install = true
global_ss_install = false
global_show_completewindow = true
