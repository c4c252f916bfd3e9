// Host functions for files and folders: creating folders, copying, moving,
// renaming and deleting files and trees, deleting at the next restart,
// temporary files, environment expansion and shell folders as environment
// variables. Path arguments are environment-expanded; none of them raises a
// script error.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

// (path) -> true when the folder exists afterwards; missing parents are made.
int Lua_CreateDirectory(lua_State* L);
// (source, destination) -> boolean; replaces existing files without asking.
int Lua_CopyFile(lua_State* L);
// (source, destination) -> boolean; replaces existing files without asking.
int Lua_MoveFile(lua_State* L);
// (source, new path) -> boolean; replaces an existing file.
int Lua_RenameFile(lua_State* L);
// (path) -> boolean. A file or tree that cannot be deleted makes the user
// choose: Abort ends the process (exit code 0), Retry tries again, Ignore
// gives true.
int Lua_DeleteFile(lua_State* L);
// (path) -> true when the path does not exist, no result after deleting it
// (file or tree, silently).
int Lua_DelFileRecursive(lua_State* L);
// (path) -> boolean: registered for deletion at the next restart (true when
// there is nothing to delete).
int Lua_DeleteFileAfterReboot(lua_State* L);
// (folder, prefix) -> the path of a new, empty, uniquely named file in the
// folder, or nil.
int Lua_GetTempFileName(lua_State* L);
// (..., text) -> the last argument with environment references expanded.
int Lua_ExpandEnv(lua_State* L);
// (variable name, CSIDL) -> boolean: sets the process environment variable
// to the shell folder's path.
int Lua_RegVarByCSIDL(lua_State* L);
