#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

#include "zrbinstaller/zrbscriptengine/lua_api.h"

#include "common/utility/module_resource.h"
#include "common/utility/string_conversion.h"
#include "common/utility/trace.h"
#include "zrbinstaller/zrbscriptengine/host_library.h"
#include "zrbinstaller/zrbscriptengine/script_error_report.h"
#include "zrbinstaller/zrbscriptengine/script_state_lock.h"
#include "zrbinstaller/zrbscriptengine/script_types.h"

namespace {

// How often (in VM instructions) a script running on a thread other than the
// main one offers the lock to a waiting thread.
constexpr int kYieldInstructionCount = 1000;

void OfferLockHook(lua_State*, lua_Debug*) {
  // Lua calls hooks with the lock released.
  zrb::ScriptStateLock::Instance().LetWaitersIn();
}

// The engine while its state is open; threads ending late see null.
std::atomic<lua_State*> gOpenState{nullptr};

// Keeps a thread's own Lua thread of the state alive (anchored in the
// registry) for the life of the OS thread.
struct ThreadScriptState {
  lua_State* state = nullptr;
  int reference = LUA_NOREF;

  ~ThreadScriptState() {
    if (!state) return;
    zrb::ScriptStateLockGuard guard;
    if (lua_State* owner = gOpenState.load()) luaL_unref(owner, LUA_REGISTRYINDEX, reference);
  }
};
thread_local ThreadScriptState tThreadState;

}  // namespace

// Counts a call into the state from a thread other than the owner, so that
// process exit does not close the state under it.
class ForeignCallScope {
 public:
  ForeignCallScope(ZRBScriptEngine* engine, lua_State* L)
      : engine_(L == engine->state_ ? nullptr : engine) {
    if (engine_) engine_->foreignCalls_.fetch_add(1);
  }
  ~ForeignCallScope() {
    if (engine_) engine_->foreignCalls_.fetch_sub(1);
  }
  ForeignCallScope(const ForeignCallScope&) = delete;
  ForeignCallScope& operator=(const ForeignCallScope&) = delete;

 private:
  ZRBScriptEngine* engine_;
};

ZRBScriptEngine* ZRBScriptEngine::Instance() {
  // Function-local static: created once, thread-safely, destroyed at exit.
  static ZRBScriptEngine engine;
  return &engine;
}

ZRBScriptEngine::ZRBScriptEngine() : ownerThread_(::GetCurrentThreadId()) {
  state_ = luaL_newstate();
  if (!state_) throw HRESULT(E_FAIL);
  OpenLibraries();
  gOpenState.store(state_);
}

ZRBScriptEngine::~ZRBScriptEngine() {
  // Take the lock for good: a thread still inside a hook blocks at its next
  // step into the interpreter until the process is gone.
  zrb::ScriptStateLock::Instance().Lock();
  gOpenState.store(nullptr);
  if (foreignCalls_.load() == 0) lua_close(state_);
  state_ = nullptr;
}

void ZRBScriptEngine::OpenLibraries() {
  lua_State* L = state_;
  luaL_openlibs(L);  // base, package, coroutine, table, io, os, string, bit32, math, debug
  for (const ScriptTypeRegistration& type : ScriptTypeRegistrations()) {
    luaL_requiref(L, type.name, type.open, 1);  // +1: the type's table
    lua_pop(L, 1);                              // -1
  }
  luaL_newmetatable(L, "GlobalLibTableMetaTable");  // +1
  if (lua_CFunction loader = GlobalLibraryLoader()) {
    lua_pushcfunction(L, loader);  // +1
    lua_setfield(L, -2, "__index");  // -1
  }
  lua_newtable(L);          // +1: GLibTab
  lua_insert(L, -2);        // metatable on top
  lua_setmetatable(L, -2);  // -1
  lua_setglobal(L, "GLibTab");  // -1
  RegisterHostLibrary(L);
}

lua_State* ZRBScriptEngine::GetState() {
  if (::GetCurrentThreadId() == ownerThread_) return state_;
  return StateForOtherThread();
}

lua_State* ZRBScriptEngine::StateForOtherThread() {
  if (tThreadState.state) return tThreadState.state;
  // The owner's stack is borrowed for a moment; hold the lock across the
  // whole sequence so the owner never sees the extra value.
  zrb::ScriptStateLockGuard guard;
  lua_State* thread = lua_newthread(state_);                        // +1 on the owner's stack
  tThreadState.reference = luaL_ref(state_, LUA_REGISTRYINDEX);     // -1
  lua_sethook(thread, OfferLockHook, LUA_MASKCOUNT, kYieldInstructionCount);
  tThreadState.state = thread;
  return thread;
}

bool ZRBScriptEngine::DoResLua(const wchar_t* type, const wchar_t* name) {
  const zrb::ModuleResource resource = zrb::FindModuleResource(nullptr, type, name);
  switch (resource.status) {
    case zrb::ModuleResource::Status::kNotLoaded:
      zrb::Trace(L"LoadResource failed. Type : %s ID : %s\r\n", type, name);
      TraceWin32Error(L"");
      return false;
    case zrb::ModuleResource::Status::kNotLocked:
      TraceWin32Error(L"LockResource failed.");
      return false;
    case zrb::ModuleResource::Status::kOk:
      break;
  }
  if (resource.size == 0) {
    zrb::Trace(L"ResSize == 0\r\n");
    return false;
  }
  const std::string chunkName = zrb::WideToThreadAnsi(name);
  return RunChunk(reinterpret_cast<const char*>(resource.data), resource.size, chunkName.c_str());
}

bool ZRBScriptEngine::RunChunk(const char* bytes, size_t size, const char* chunkName) {
  lua_State* L = GetState();
  if (luaL_loadbufferx(L, bytes, size, chunkName, nullptr) != LUA_OK) {  // +1: chunk or message
    const char* message = lua_tolstring(L, -1, nullptr);
    zrb::Trace(L"%S\r\n", message ? message : "");
    lua_pop(L, 1);  // -1
    zrb::Trace(L"luaL_loadbuffer failed!\r\n");
    return false;
  }
  const int status = ProtectedCall(L, 0, 0);  // -1: the chunk
  if (status != LUA_OK) lua_pop(L, 1);       // -1: the error value
  return status == LUA_OK;
}

void ZRBScriptEngine::CallHook(const char* name) {
  lua_State* L = GetState();
  lua_getglobal(L, name);  // +1
  if (lua_type(L, -1) != LUA_TFUNCTION) {
    lua_pop(L, 1);  // -1
    return;
  }
  if (ProtectedCall(L, 0, 0) != LUA_OK) lua_pop(L, 1);  // -1: function, or its error value
}

int ZRBScriptEngine::ProtectedCall(int argumentCount, int resultCount) {
  return ProtectedCall(GetState(), argumentCount, resultCount);
}

int ZRBScriptEngine::ProtectedCall(lua_State* L, int argumentCount, int resultCount) {
  ForeignCallScope foreign(Instance(), L);
  const int base = lua_gettop(L) - argumentCount;  // the function's index
  lua_pushcfunction(L, ScriptErrorReport);         // +1
  lua_insert(L, base);                             // handler under the function
  const int status = lua_pcallk(L, argumentCount, resultCount, base, 0, nullptr);
  lua_remove(L, base);  // -1: the handler
  return status;
}

std::wstring ZRBScriptEngine::GetGlobalString(const char* name) {
  lua_State* L = GetState();
  lua_getglobal(L, name);  // +1
  std::wstring value;
  const int type = lua_type(L, -1);
  if (type == LUA_TSTRING || type == LUA_TNUMBER) {
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    value = zrb::Utf8ToWide(std::string_view(text, length));
  }
  lua_pop(L, 1);  // -1
  return value;
}

bool ZRBScriptEngine::GetGlobalBoolean(const char* name) {
  lua_State* L = GetState();
  lua_getglobal(L, name);  // +1
  const bool value = lua_toboolean(L, -1) != 0;
  lua_pop(L, 1);  // -1
  return value;
}

int ZRBScriptEngine::GetGlobalInteger(const char* name) {
  lua_State* L = GetState();
  lua_getglobal(L, name);  // +1
  const int value = static_cast<int>(lua_tointegerx(L, -1, nullptr));
  lua_pop(L, 1);  // -1
  return value;
}

void ZRBScriptEngine::SetGlobalString(const char* name, std::wstring_view value) {
  lua_State* L = GetState();
  const std::string text = zrb::WideToUtf8(value);
  lua_pushlstring(L, text.data(), text.size());  // +1
  lua_setglobal(L, name);                        // -1
}

void ZRBScriptEngine::SetGlobalBoolean(const char* name, bool value) {
  lua_State* L = GetState();
  lua_pushboolean(L, value ? 1 : 0);  // +1
  lua_setglobal(L, name);             // -1
}

void ZRBScriptEngine::SetGlobalNumber(const char* name, int value) {
  lua_State* L = GetState();
  lua_pushnumber(L, value);  // +1
  lua_setglobal(L, name);    // -1
}
