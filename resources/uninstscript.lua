-- Uninstall script, written next to the product for its own uninstaller.
function ZRBSE_Uninstall() end
