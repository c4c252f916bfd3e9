#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/unit/scriptengine/test_engine.h"

namespace {

using zrb::test::Engine;
using zrb::test::RunScript;

// The raw block of the object `expression` makes; nullopt when it is no
// full userdata (nil).
std::optional<std::string> BlockOf(const std::string& expression) {
  RunScript("block_probe = " + expression);
  lua_State* L = Engine()->GetState();
  lua_getglobal(L, "block_probe");
  std::optional<std::string> block;
  if (lua_type(L, -1) == LUA_TUSERDATA) {
    block.emplace(static_cast<const char*>(lua_touserdata(L, -1)), lua_rawlen(L, -1));
  }
  lua_pop(L, 1);
  RunScript("block_probe = nil");
  return block;
}

// `text` as UTF-16 bytes, padded with zero units to `units` units.
std::string Wide(const std::wstring& text, size_t units) {
  std::wstring padded = text;
  padded.resize(units, L'\0');
  return std::string(reinterpret_cast<const char*>(padded.data()), units * sizeof(wchar_t));
}

std::string Narrow(const std::string& text, size_t units) {
  std::string padded = text;
  padded.resize(units, '\0');
  return padded;
}

TEST(ScriptStrings, NewSizesTheBlockAndClearsIt) {
  const struct {
    const char* expression;
    std::optional<std::string> block;
  } cases[] = {
      {"WString.New(260)", Wide(L"", 260)},
      {"WString.New(0)", std::nullopt},
      {"WString.New()", std::nullopt},
      {"WString.New(-5)", std::nullopt},
      {"AString.New('abc')", std::nullopt},  // a capacity that is no number counts as 0
      {"WString.New(0, 'abc')", Wide(L"abc", 4)},
      {"WString.New(2, 'abcdef')", Wide(L"abcdef", 7)},  // the text wins over the capacity
      {"WString.New(8, 'ab')", Wide(L"ab", 8)},
      {"WString.New(-1, 'ab')", Wide(L"ab", 3)},
      {"WString.New(0, nil)", Wide(L"", 1)},  // a second argument, even nil, makes a block
      {"WString.New(3, true)", Wide(L"", 3)},
      {"WString.New(3, {})", Wide(L"", 3)},
      {"WString.New(0, 12.5)", Wide(L"12.5", 5)},
      {"AString.New(5, 'ab')", Narrow("ab", 5)},
      {"AString.New(nil, 'C:\\\\Temp\\\\x')", Narrow("C:\\Temp\\x", 10)},
      {"WString.New(0x7fffffff)", std::nullopt},  // refused, not attempted
      // Concatenation makes an object exactly as large as the joined text.
      {"WString.New(10, 'ab') .. WString.New(10, 'cd')", Wide(L"abcd", 5)},
      {"AString.New(10, 'ab') .. 5", Narrow("ab5", 4)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.block, BlockOf(c.expression)) << c.expression;
}

TEST(ScriptStrings, TextInTheAnsiCodePage) {
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  const struct {
    const char* expression;
    std::string block;
  } cases[] = {
      {"AString.New(nil, 'C:\\\\系统')", Narrow("C:\\\xCF\xB5\xCD\xB3", 8)},
      {"AString.New(6, WString.New(0, '中文'))", Narrow("\xD6\xD0\xCE\xC4", 6)},
      {"WString.New(0, AString.New(0, '中文'))", Wide(L"中文", 3)},
      {"AString.New(0, '中') .. WString.New(0, '文')", Narrow("\xD6\xD0\xCE\xC4", 5)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.block, BlockOf(c.expression)) << c.expression;

  RunScript(R"(
    local a = AString.New(0, "中文")
    assert(#a == 4, "two double-byte characters")
    assert(tostring(a) == "中文")
    assert(tostring(a .. "字") == "中文字" and #(a .. "字") == 6)
    assert(a == AString.New(10, WString.New(0, "中文")))
    -- A byte above 127 on its own comes back raw.
    assert(a[0] == "\xD6" and a[2] == "\xCE")
    local w = WString.New(0, "中文")
    assert(#w == 2 and w[1] == "文" and tostring(w) == "中文")
  )");
}

TEST(ScriptStrings, ToStringAndLength) {
  RunScript(R"(
    local w = WString.New(10, "ab")
    assert(tostring(w) == "ab" and #w == 2)
    assert(tostring(WString.New(260)) == "" and #WString.New(260) == 0)
    local a = AString.New(0, "a\0b")  -- the text ends at the first zero
    assert(tostring(a) == "a" and #a == 1)
  )");
}

TEST(ScriptStrings, ConcatenationTakesAnyOperand) {
  RunScript(R"(
    local reg = debug.getregistry()
    local function kind(v)
      local mt = getmetatable(v)
      return mt == reg.AStringMetaTable and "A" or mt == reg.WStringMetaTable and "W" or type(v)
    end
    local w, a = WString.New(10, "ab"), AString.New(10, "cd")
    local cases = {
      {w .. 5, "W", "ab5"}, {5 .. w, "W", "5ab"}, {w .. 1.5, "W", "ab1.5"},
      {"x" .. w .. "y", "W", "xaby"}, {w .. w, "W", "abab"},
      {a .. w, "A", "cdab"}, {w .. a, "W", "abcd"},  -- the left operand's type
      {w .. true, "W", "ab"}, {nil .. a, "A", "cd"}, {w .. {}, "W", "ab"},
    }
    for i, c in ipairs(cases) do
      assert(kind(c[1]) == c[2], "kind of case " .. i)
      assert(tostring(c[1]) == c[3], "text of case " .. i .. ": " .. tostring(c[1]))
    end
    assert(tostring(w) == "ab" and tostring(a) == "cd", "operands unchanged")
  )");
}

TEST(ScriptStrings, Equality) {
  RunScript(R"(
    local W, A = WString.New, AString.New
    local cases = {
      {W(10, "ab"), W(3, "ab"), true},
      {W(10, "ab"), "ab", false},  -- different Lua types: no metamethod
      {W(0, "ab"), W(0, "aB"), false},
      {W(0, "ab"), W(0, "abc"), false},
      {A(0, "ab"), A(8, "ab"), true},
      {A(0, "ab"), W(0, "ab"), false},
      {W(5), W(0, ""), true},
    }
    for i, c in ipairs(cases) do
      assert((c[1] == c[2]) == c[3], "case " .. i)
      assert((c[1] ~= c[2]) ~= c[3], "inequality of case " .. i)
    end
  )");
}

TEST(ScriptStrings, IndexReadsPositionsInsideTheBlock) {
  RunScript(R"(
    local w = WString.New(0, "abc")
    local cases = {
      {0, "a"}, {2, "c"}, {3, ""}, {-1, nil}, {4, nil}, {1e9, nil},
      {"1", "b"}, {"name", "a"},  -- a key that is no number reads position 0
    }
    for _, c in ipairs(cases) do
      assert(w[c[1]] == c[2], "position " .. tostring(c[1]))
    end
    assert(w.New == "a", "no methods on the objects")
    local roomy = WString.New(10, "ab")
    assert(roomy[5] == "" and roomy[9] == "" and roomy[10] == nil)
    local a = AString.New(0, "abc")
    assert(a[1] == "b" and a[3] == "" and a[4] == nil and a[-1] == nil)
  )");
}

TEST(ScriptStrings, AssignmentReplacesOneUnitInsideTheText) {
  RunScript(R"(
    for _, New in ipairs{WString.New, AString.New} do
      local s = New(10, "abc")
      local steps = {
        {0, "x", "abc"},      -- position 0 is never written
        {1, "xyz", "axc"},    -- only the first unit is stored
        {3, "d", "axc"},      -- the terminator stays
        {5, "d", "axc"},      -- nor does the text grow past it
        {-1, "d", "axc"},
        {1, "", "axc"},
        {2, {}, "axc"},
        {2, 7, "ax7"},        -- a number's text
        {"1", "q", "aq7"},
      }
      for i, step in ipairs(steps) do
        s[step[1]] = step[2]
        assert(tostring(s) == step[3], "step " .. i .. ": " .. tostring(s))
        assert(#s == 3)
      end
    end
  )");
}

// A native call or a raw write may leave a block without a zero; the text
// then ends with the block, and nothing past it is read.
TEST(ScriptStrings, TextStopsAtTheEndOfABlockWithoutZero) {
  RunScript(R"(
    local raw = getmetatable(RawBuffer.New(1))
    local a = AString.New(0, "ab")
    raw.OffsetSetAsUInt8(a, 2, 65)   -- over the terminator
    assert(#a == 3 and tostring(a) == "abA" and a[3] == nil)
    assert(a == AString.New(0, "abA"))
    assert(tostring(a .. "!") == "abA!")
    local w = WString.New(0, "ab")
    raw.OffsetSetAsUInt16(w, 4, 0x43)
    assert(#w == 3 and tostring(w) == "abC" and w[3] == nil)
  )");
}

}  // namespace
