#include "zrbinstaller/zrbscriptengine/host_library.h"

#include "zrbinstaller/zrbscriptengine/host_files.h"
#include "zrbinstaller/zrbscriptengine/host_payload.h"
#include "zrbinstaller/zrbscriptengine/host_processes.h"
#include "zrbinstaller/zrbscriptengine/host_registry.h"
#include "zrbinstaller/zrbscriptengine/host_service.h"
#include "zrbinstaller/zrbscriptengine/host_shell.h"
#include "zrbinstaller/zrbscriptengine/host_system.h"

const std::vector<HostFunction>& HostFunctions() {
  // Registration order is part of the script interface: every function has
  // its numbered place. A function is listed once it exists.
  static const std::vector<HostFunction> functions = {
      {"Lua_UnCompress7z", Lua_UnCompress7z},  // 1
      {"Lua_RegSvr32", Lua_RegSvr32},  // 2
      {"Lua_RegistDll", Lua_RegistDll},  // 3
      {"Lua_RegQuery", Lua_RegQuery},  // 4
      {"Lua_RegAdd", Lua_RegAdd},  // 5
      {"Lua_RegDel", Lua_RegDel},  // 6
      {"Lua_CreateShortcut", Lua_CreateShortcut},  // 7
      {"Lua_CreateDirectory", Lua_CreateDirectory},  // 8
      {"Lua_CopyFile", Lua_CopyFile},  // 9
      {"Lua_MoveFile", Lua_MoveFile},  // 10
      {"Lua_RenameFile", Lua_RenameFile},  // 11
      {"Lua_DeleteFile", Lua_DeleteFile},  // 12
      {"Lua_Exec", Lua_Exec},  // 13
      {"Lua_ExplorerExec", Lua_ExplorerExec},  // 14
      {"Lua_TaskKill", Lua_TaskKill},  // 15
      {"Lua_SCM", Lua_SCM},  // 16
      {"Lua_RegVarByCSIDL", Lua_RegVarByCSIDL},  // 17
      {"Lua_ExtractResource", Lua_ExtractResource},  // 18
      {"Lua_GetOSVersion", Lua_GetOSVersion},  // 19
      {"Lua_Logout", Lua_Logout},  // 20
      {"Lua_MsgBox", Lua_MsgBox},  // 21
      {"Lua_DelFileRecursive", Lua_DelFileRecursive},  // 22
      {"Lua_DeleteFileAfterReboot", Lua_DeleteFileAfterReboot},  // 23
      {"Lua_IsWow64", Lua_IsWow64},  // 24
      {"Lua_GetProcessId", Lua_GetProcessId},  // 25
      {"Lua_ExitWindows", Lua_ExitWindows},  // 26
      {"Lua_GetModuleFileName", Lua_GetModuleFileName},  // 27
      {"Lua_GetCommandLineArgv", Lua_GetCommandLineArgv},  // 28
      {"Lua_EnablePrivilege", Lua_EnablePrivilege},  // 29
      {"Lua_GetTempFileName", Lua_GetTempFileName},  // 30
      {"Lua_ExpandEnv", Lua_ExpandEnv},  // 31
      {"Lua_GetImagePathByPid", Lua_GetImagePathByPid},  // 32
      {"Lua_GetDriverInstallPath", Lua_GetDriverInstallPath},  // 33
      {"Lua_KillAllTaskByName", Lua_KillAllTaskByName},  // 34
  };
  return functions;
}

void RegisterHostLibrary(lua_State* L) {
  for (const HostFunction& host : HostFunctions()) {
    lua_register(L, host.name, host.function);  // net 0
  }
}
