// The script engine: the one Lua 5.2 state of the process, scripts run from
// the program's resources, hooks, and the exchange of globals with the host.
//
// Threads: any thread may call the operations. The creating (main) thread
// uses the state itself; every other thread gets its own Lua thread of the
// same state on first use, so stacks never mix. The interpreter serialises
// them through ScriptStateLock and lets go of it around every native call.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

struct lua_State;

class ZRBScriptEngine {
 public:
  // Creates the engine on first use (thread-safe) and returns it. Throws
  // HRESULT E_FAIL when no Lua state can be created.
  static ZRBScriptEngine* Instance();

  // The calling thread's Lua state; see the class comment.
  lua_State* GetState();

  // Loads resource `name` of `type` from the program's own module as a chunk
  // (source or bytecode) and runs it once.
  bool DoResLua(const wchar_t* type, const wchar_t* name);

  // Loads `size` bytes as a chunk named `chunkName` and runs it once; the
  // core of DoResLua.
  bool RunChunk(const char* bytes, size_t size, const char* chunkName);

  // Calls the global function `name` without arguments or results, if the
  // global is a function; anything else is skipped silently.
  void CallHook(const char* name);

  // Calls the function below the top `argumentCount` values of the calling
  // thread's stack in protected mode with ScriptErrorReport as message
  // handler. Returns the Lua status, 0 for success.
  int ProtectedCall(int argumentCount, int resultCount);
  static int ProtectedCall(lua_State* L, int argumentCount, int resultCount);

  // Global accessors; each leaves the stack as it found it.
  std::wstring GetGlobalString(const char* name);
  bool GetGlobalBoolean(const char* name);
  int GetGlobalInteger(const char* name);
  void SetGlobalString(const char* name, std::wstring_view value);
  void SetGlobalBoolean(const char* name, bool value);
  void SetGlobalNumber(const char* name, int value);

  // Deletes a folder tree, or the entries matching a pattern (a folder
  // joined with a name or wildcard; matching folders go with their trees,
  // the pattern's own folder stays). Read-only files are deleted too; links
  // to folders are removed without being entered, and a drive or share root
  // is never emptied. Failures leave entries in place without a report.
  static void DeleteDirectories(const std::wstring& path);

  ZRBScriptEngine(const ZRBScriptEngine&) = delete;
  ZRBScriptEngine& operator=(const ZRBScriptEngine&) = delete;

 private:
  friend class ForeignCallScope;
  ZRBScriptEngine();
  ~ZRBScriptEngine();

  void OpenLibraries();
  lua_State* StateForOtherThread();

  lua_State* state_ = nullptr;
  DWORD ownerThread_ = 0;
  // Calls into the state under way on threads other than the owner; the
  // state is not closed at exit while any runs.
  std::atomic<int> foreignCalls_{0};
};
