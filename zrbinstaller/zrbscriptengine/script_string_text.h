// The text of script values as the two string types see it.
//
// An AString block holds narrow text in the thread's ANSI code page, a
// WString block UTF-16; the text is what precedes the first zero unit. A
// native function or a raw write may fill a block without leaving a zero, so
// every read here stops at the end of the block as well.
#pragma once

#include <string>
#include <string_view>

#include "zrbinstaller/zrbscriptengine/lua_api.h"

namespace zrb::script {

enum class StringObjectKind { kNone, kAString, kWString };

// What the value at `index` is: an AString, a WString (recognised by its
// metatable being the registered one) or anything else.
StringObjectKind KindOfStringObject(lua_State* L, int index);

// The text of the full userdata at `index`, up to its first zero unit or the
// end of its block. The view borrows the block: valid while the value lives.
std::string_view NarrowBlockText(lua_State* L, int index);
std::wstring_view WideBlockText(lua_State* L, int index);

// The text of any value for a WString: strings and numbers converted from
// UTF-8, a WString's text, an AString's text converted from the thread's ANSI
// code page; anything else (nil, a missing argument, a boolean, a table,
// another userdata) is empty.
std::wstring WideTextOfValue(lua_State* L, int index);

// The same for an AString, in the thread's ANSI code page.
std::string AnsiTextOfValue(lua_State* L, int index);

// A string or number value as UTF-16 (anything else is empty). Reads a copy,
// so a number at `index` stays a number.
std::wstring WideLuaText(lua_State* L, int index);

}  // namespace zrb::script
