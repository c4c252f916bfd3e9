// A script function held by native code that calls it back later (the
// payload extraction's per-file and create-error callbacks).
#pragma once

#include <string_view>

struct lua_State;

class ScriptCallback {
 public:
  static constexpr int kNoReference = -2;  // LUA_NOREF

  ScriptCallback() = default;
  // Takes a registry reference to the function at `index` of `L` (no
  // reference when the value there is not a function).
  ScriptCallback(lua_State* L, int index);
  ~ScriptCallback();
  ScriptCallback(const ScriptCallback&) = delete;
  ScriptCallback& operator=(const ScriptCallback&) = delete;

  bool IsSet() const { return reference_ != kNoReference; }

  // Calls the function with (text, n) and returns its first result as an
  // integer (0 when it is not a number); 2 when the call failed.
  int CallWithProgress(std::wstring_view text, unsigned n);
  // Calls the function with (text); the result is ignored.
  void Call(std::wstring_view text);

  // Releases the reference (also done by the destructor).
  void Release();

 private:
  int reference_ = kNoReference;
  lua_State* state_ = nullptr;
};
