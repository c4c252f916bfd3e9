// The machine-level call of an exported function on 32-bit x86.
#pragma once

#include <cstdint>

namespace zrb::script {

// Calls `function` with `count` 32-bit argument words, words[0] being its
// first parameter, and returns its 32-bit result (EAX).
//
// The words are pushed right to left, as both stdcall (the callee removes
// them) and cdecl (the caller removes them) expect. Whichever the callee
// does, the stack pointer is put back from the routine's own frame, so it is
// the same after every call as before it, even when the script declared the
// wrong convention. A floating-point result left on the x87 stack is
// discarded. The thread's last-error code is read right after the call, before
// anything else can change it, and stored in *lastError.
//
// Runs no script code and takes no lock; the words must stay valid (the Lua
// values they point into stay on the caller's stack).
extern "C" uint32_t ZrbCallNative(const void* function, const uint32_t* words, uint32_t count,
                                  uint32_t* lastError);

}  // namespace zrb::script
