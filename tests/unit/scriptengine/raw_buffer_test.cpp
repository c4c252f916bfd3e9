#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

// The block address of the full userdata in global `name`.
uintptr_t BlockAddress(const char* name) {
  lua_State* L = Engine()->GetState();
  lua_getglobal(L, name);
  const uintptr_t address = reinterpret_cast<uintptr_t>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  return address;
}

TEST(RawBuffer, NewIsZeroFilled) {
  RunScript(R"(
    assert(RawBuffer.New(0) == nil and RawBuffer.New() == nil and RawBuffer.New("x") == nil)
    local b = RawBuffer.New(16)
    for i = 0, 15 do assert(b:OffsetGetAsUInt8(i) == 0) end
    for i = 0, 12 do assert(b:OffsetGetAsInt32(i) == 0 and b:OffsetGetAsBoolean(i) == false) end
    assert(b:OffsetGetAsWString(0) == "" and b:OffsetGetAsAString(0) == "")
  )");
}

TEST(RawBuffer, WidthsSignAndTruncation) {
  RunScript(R"(
    local cases = {
      -- setter, value, getter, expected, at offset 0 of a fresh buffer
      {"Int16", 70000, "Int16", 4464}, {"Int16", 70000, "UInt8", 112},
      {"Int32", -1, "UInt32", 4294967295}, {"Int32", -1, "Int16", -1},
      {"Int32", -1, "UInt16", 65535}, {"Int32", -1, "Int8", -1}, {"Int32", -1, "UInt8", 255},
      {"Int8", 200, "Int8", -56}, {"Int8", 200, "UInt8", 200}, {"UInt8", 300, "UInt8", 44},
      {"UInt16", -1, "UInt16", 65535}, {"UInt32", 4294967295, "Int32", -1},
      {"UInt32", -1, "UInt32", 4294967295}, {"Int32", 3000000000, "UInt32", 3000000000},
      {"Int32", 0x12345678, "UInt16", 0x5678}, {"Int32", 0x12345678, "UInt8", 0x78},
      {"Boolean", true, "UInt32", 1}, {"Boolean", 0, "UInt32", 1},  -- Lua truth
      {"Boolean", false, "UInt32", 0}, {"Boolean", nil, "Boolean", false},
      {"Int32", 2, "Boolean", true}, {"UInt8", 1, "Boolean", true},
    }
    for i, c in ipairs(cases) do
      local b = RawBuffer.New(8)
      b:OffsetSetAsUInt32(4, 0xA5A5A5A5)
      b["OffsetSetAs" .. c[1]](b, 0, c[2])
      local got = b["OffsetGetAs" .. c[3]](b, 0)
      assert(got == c[4], "case " .. i .. ": " .. tostring(got))
      assert(b:OffsetGetAsUInt32(4) == 0xA5A5A5A5, "neighbour of case " .. i)
    end

    -- Little-endian, at any alignment.
    local b = RawBuffer.New(8)
    b:OffsetSetAsInt32(1, 0x01020304)
    assert(b:OffsetGetAsUInt8(0) == 0 and b:OffsetGetAsUInt8(1) == 4 and b:OffsetGetAsUInt8(4) == 1)
    assert(b:OffsetGetAsInt32(1) == 0x01020304 and b:OffsetGetAsUInt16(2) == 0x0203)
  )");
}

// Nothing outside an object's block is read or written: getters give nil,
// setters do nothing, not even to the part that would have fitted.
TEST(RawBuffer, OffsetsOutsideTheBlock) {
  RunScript(R"(
    local b = RawBuffer.New(8)
    for i = 0, 7 do b:OffsetSetAsUInt8(i, 0x11) end
    local reads = {
      {"Int32", 4, 0x11111111}, {"Int32", 5}, {"Int32", 8}, {"Int32", -1}, {"Int32", 0x7fffffff},
      {"UInt32", 6}, {"Boolean", 5}, {"Int16", 6, 0x1111}, {"UInt16", 7}, {"Int8", 7, 0x11},
      {"UInt8", 8}, {"UInt8", -8}, {"WString", 7}, {"WString", 8}, {"AString", 8},
      {"Pointer", 8}, {"Pointer", -1},
    }
    for _, r in ipairs(reads) do
      local got = b["OffsetGetAs" .. r[1]](b, r[2])
      assert(got == r[3], r[1] .. " at " .. r[2] .. ": " .. tostring(got))
    end
    assert(type(b:OffsetGetAsPointer(7)) == "userdata")

    local writes = {
      {"Int32", 6, 0}, {"UInt32", 5, 0}, {"Boolean", 7, false}, {"Int16", 7, 0}, {"UInt16", -1, 0},
      {"Int8", 8, 0}, {"UInt8", -1, 0}, {"Pointer", 6, b}, {"WString", 4, WString.New(3, "ab")},
      {"AString", 6, AString.New(0, "ab")}, {"WString", 6, "ab"}, {"AString", 7, "ab"},
    }
    for _, w in ipairs(writes) do
      b["OffsetSetAs" .. w[1]](b, w[2], w[3])
      for i = 0, 7 do
        assert(b:OffsetGetAsUInt8(i) == 0x11, w[1] .. " at " .. w[2] .. " wrote byte " .. i)
      end
    end

    -- Text reads end with the block when no zero comes first.
    assert(b:OffsetGetAsAString(0) == ("\x11"):rep(8) and b:OffsetGetAsAString(5) == ("\x11"):rep(3))
    assert(b:OffsetGetAsWString(0) == ("ᄑ"):rep(4) and b:OffsetGetAsWString(3) == ("ᄑ"):rep(2))

    -- An object that is no userdata (a method called with "." by mistake).
    local methods = getmetatable(b)
    assert(methods.OffsetGetAsInt32(nil, 0) == nil and methods.OffsetGetAsPointer(5, 0) == nil)
    methods.OffsetSetAsInt32({}, 0, 1)
    methods.OffsetSetAsWString(nil, 0, "ab")
  )");
}

TEST(RawBuffer, PointersGetAndSet) {
  RunScript(R"(
    target = RawBuffer.New(8)
    holder = RawBuffer.New(16)
    local p = target:OffsetGetAsPointer(4)
    assert(type(p) == "userdata" and getmetatable(p) == nil, "a light userdata")
    -- An address is used as given, also with a negative offset.
    local methods = getmetatable(target)
    methods.OffsetSetAsInt32(p, 0, 7)
    methods.OffsetSetAsInt32(p, -4, 9)
    assert(target:OffsetGetAsInt32(4) == 7 and target:OffsetGetAsInt32(0) == 9)
    assert(methods.OffsetGetAsInt16(p, -4) == 9)

    holder:OffsetSetAsPointer(0, target)  -- a full userdata: its block
    holder:OffsetSetAsPointer(4, p)       -- a light userdata: its address
    holder:OffsetSetAsPointer(8, 12345)   -- anything else: 0
    holder:OffsetSetAsUInt32(12, 5)
    holder:OffsetSetAsPointer(12, "text")
  )");
  const uintptr_t target = BlockAddress("target");
  RunScript(
      "pointer_words = {holder:OffsetGetAsUInt32(0), holder:OffsetGetAsUInt32(4),"
      " holder:OffsetGetAsUInt32(8), holder:OffsetGetAsUInt32(12)}");
  RunScript("p0, p1, p2, p3 = table.unpack(pointer_words)");
  EXPECT_EQ(target, static_cast<uintptr_t>(Engine()->GetGlobalInteger("p0")));
  EXPECT_EQ(target + 4, static_cast<uintptr_t>(Engine()->GetGlobalInteger("p1")));
  EXPECT_EQ(0, Engine()->GetGlobalInteger("p2"));
  EXPECT_EQ(0, Engine()->GetGlobalInteger("p3"));
  RunScript("target, holder, pointer_words = nil");
}

TEST(RawBuffer, StringCopies) {
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  RunScript(R"(
    local function bytes(b, from, to)
      local t = {}
      for i = from, to do t[#t + 1] = string.format("%02X", b:OffsetGetAsUInt8(i)) end
      return table.concat(t, " ")
    end
    local function filled()
      local b = RawBuffer.New(16)
      for i = 0, 15 do b:OffsetSetAsUInt8(i, 0xFF) end
      return b
    end

    -- An object's whole block, capacity and all, without conversion.
    local b = filled()
    b:OffsetSetAsWString(8, WString.New(3, "ab"))
    assert(bytes(b, 6, 15) == "FF FF 61 00 62 00 00 00 FF FF", bytes(b, 6, 15))
    assert(b:OffsetGetAsWString(8) == "ab")
    b:OffsetSetAsAString(0, WString.New(0, "c"))  -- both copy the same way
    assert(bytes(b, 0, 4) == "63 00 00 00 FF")
    b:OffsetSetAsWString(0, AString.New(0, "中"))
    assert(bytes(b, 0, 3) == "D6 D0 00 00" and b:OffsetGetAsAString(0) == "中")

    -- A Lua string is converted to the method's encoding, with its zero.
    b = filled()
    b:OffsetSetAsWString(0, "中a")
    assert(bytes(b, 0, 6) == "2D 4E 61 00 00 00 FF" and b:OffsetGetAsWString(0) == "中a")
    b:OffsetSetAsAString(8, "中a")
    assert(bytes(b, 8, 12) == "D6 D0 61 00 FF" and b:OffsetGetAsAString(8) == "中a")
    b:OffsetSetAsAString(8, 5)  -- no string, no object: nothing
    assert(bytes(b, 8, 8) == "D6")
  )");
}

}  // namespace
