// Starting a program at the level of the desktop shell: explorer.exe opens
// it, so it does not run as a child of the setup nor with the setup's rights.
#pragma once

#include <windows.h>

#include <string>

// The command line handed to the system: explorer.exe, the program path in
// double quotes, a space and the parameters in double quotes (two double
// quotes when there are none). Nothing is checked, escaped or expanded: a
// double quote inside the parameters ends their argument early.
std::wstring ExplorerLevelCommandLine(const std::wstring& program, const std::wstring& parameters);

// Runs ExplorerLevelCommandLine through WinExec, converted to the thread's
// ANSI code page (characters it lacks are replaced, and the shell will then
// not find the program). Returns WinExec's result unchanged: above 31 once
// explorer.exe has started, whatever the shell then makes of the program;
// otherwise 0 or the error value.
UINT ProcessLauncherExplorerLevel(const std::wstring& program, const std::wstring& parameters);
