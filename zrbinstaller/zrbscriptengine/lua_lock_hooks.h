// Force-included into every source file of the engine's copy of Lua. It
// routes the interpreter's lock points to the process-wide script state lock,
// so that the install worker and the main thread can use the one state
// (each through its own Lua thread) without corrupting it.
#ifndef ZRB_LUA_LOCK_HOOKS_H
#define ZRB_LUA_LOCK_HOOKS_H

struct lua_State;

void ZrbLuaLock(lua_State* L);
void ZrbLuaUnlock(lua_State* L);
// Called by the interpreter with the lock held at its garbage-collection
// check points: hands the lock to a waiting thread, if any.
void ZrbLuaThreadYield(lua_State* L);

#define lua_lock(L) ZrbLuaLock(L)
#define lua_unlock(L) ZrbLuaUnlock(L)
#define luai_threadyield(L) ZrbLuaThreadYield(L)

#endif
