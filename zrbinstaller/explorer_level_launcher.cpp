#include "zrbinstaller/explorer_level_launcher.h"

#include "common/utility/string_conversion.h"

std::wstring ExplorerLevelCommandLine(const std::wstring& program, const std::wstring& parameters) {
  return L"explorer.exe \"" + program + L"\" \"" + parameters + L"\"";
}

UINT ProcessLauncherExplorerLevel(const std::wstring& program, const std::wstring& parameters) {
  const std::string line = zrb::WideToThreadAnsi(ExplorerLevelCommandLine(program, parameters));
  return ::WinExec(line.c_str(), SW_SHOWNORMAL);
}
