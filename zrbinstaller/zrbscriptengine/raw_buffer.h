// RawBuffer: a zero-filled block of raw memory for out-parameters and
// structures, with typed reads and writes at byte offsets.
//
// The offset methods take any userdata as their object: for a full userdata
// (a RawBuffer, an AString or WString, any other) the block's size is known
// and nothing outside it is ever read or written: a getter then returns nil
// and a setter does nothing. A light userdata (an address from
// "OffsetGetAsPointer" or a "ptr" result) is trusted as it is. An object that
// is not a userdata at all (a method called with "." by mistake) behaves as
// an empty block.
#pragma once

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

// Registers "RawBufferMetaTable" and pushes the global table "RawBuffer",
// which holds "New".
int OpenRawBuffer(lua_State* L);

}  // namespace zrb::script
