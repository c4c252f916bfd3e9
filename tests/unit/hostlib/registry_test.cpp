#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utility/string_conversion.h"
#include "tests/unit/hostlib/host_script.h"

namespace {

using zrb::test::LuaString;
using zrb::test::RunInRunner;

// Reads a value with the plain registry API: its type and raw bytes.
struct StoredValue {
  bool exists = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;

  std::wstring Text() const {
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    return text.substr(0, text.find(L'\0'));
  }
};

StoredValue ReadStored(const std::wstring& key, const std::wstring& name) {
  StoredValue value;
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return value;
  }
  DWORD size = 0;
  if (::RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, nullptr, &size) ==
      ERROR_SUCCESS) {
    value.bytes.resize(size);
    value.exists = ::RegQueryValueExW(opened, name.c_str(), nullptr, &value.type,
                                      value.bytes.data(), &size) == ERROR_SUCCESS;
    value.bytes.resize(size);
  }
  ::RegCloseKey(opened);
  return value;
}

bool KeyExists(const std::wstring& key) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(opened);
  return true;
}

// Each test works below a key of its own in HKCU and removes it afterwards.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\ZrbHostLibTest\\" +
           zrb::Utf8ToWide(::testing::UnitTest::GetInstance()->current_test_info()->name()) + L"_" +
           std::to_wstring(::GetCurrentProcessId());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    keyLiteral_ = LuaString(key_);
  }
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZrbHostLibTest");  // once empty
  }

  void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name.c_str(), type, data, size));
  }

  std::wstring key_;
  std::string keyLiteral_;  // the key as a Lua string literal
};

TEST_F(Registry, EveryValueTypeIsWrittenAndReadBack) {
  zrb::test::ScopedEnvironment environment;
  environment.Set(L"ZRB_REG_TEST", L"C:\\展开");
  const std::wstring longTail(600, L'x');
  const struct {
    const char* name;
    const char* type;
    std::string data;  // a Lua expression
    DWORD storedType;
    std::vector<BYTE> stored;  // for REG_DWORD and REG_BINARY
    std::wstring storedText;   // for the text types
    std::string queried;       // a Lua expression for Lua_RegQuery's result
  } cases[] = {
      {"sz", "REG_SZ", "'%ZRB_REG_TEST%\\\\a'", REG_SZ, {}, L"C:\\展开\\a", "'C:\\\\展开\\\\a'"},
      // Registry text is not a path: no 260-unit limit on the expansion.
      {"long",
       "REG_SZ",
       "'%ZRB_REG_TEST%' .. " + LuaString(longTail),
       REG_SZ,
       {},
       L"C:\\展开" + longTail,
       "'C:\\\\展开' .. " + LuaString(longTail)},
      {"expand",
       "REG_EXPAND_SZ",
       "'%ZRB_REG_TEST%\\\\b'",
       REG_EXPAND_SZ,
       {},
       L"%ZRB_REG_TEST%\\b",
       "'%ZRB_REG_TEST%\\\\b'"},
      {"dword", "REG_DWORD", "4294967295", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, {}, "4294967295"},
      {"dwordText", "REG_DWORD", "'258'", REG_DWORD, {0x02, 0x01, 0x00, 0x00}, {}, "258"},
      {"binaryOdd", "REG_BINARY", "'0A1b2'", REG_BINARY, {0x0A, 0x1B, 0x02}, {}, "nil"},
      {"binaryEven", "REG_BINARY", "'00fFAb'", REG_BINARY, {0x00, 0xFF, 0xAB}, {}, "nil"},
      {"binaryEmpty", "REG_BINARY", "''", REG_BINARY, {}, {}, "nil"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_LUA("assert(Lua_RegAdd('HKCU', " + keyLiteral_ + ", '" + test.name + "', '" + test.type +
               "', " + test.data + ", true) == true)");
    const StoredValue stored = ReadStored(key_, zrb::Utf8ToWide(test.name));
    ASSERT_TRUE(stored.exists);
    EXPECT_EQ(test.storedType, stored.type);
    if (test.storedType == REG_SZ || test.storedType == REG_EXPAND_SZ) {
      EXPECT_EQ(test.storedText, stored.Text());
      EXPECT_EQ((test.storedText.size() + 1) * 2, stored.bytes.size()) << "with its zero";
    } else {
      EXPECT_EQ(test.stored, stored.bytes);
    }
    EXPECT_LUA("local v = Lua_RegQuery('HKCU', " + keyLiteral_ + ", '" + test.name +
               "'); assert(v == " + test.queried + ", tostring(v))");
  }
}

TEST_F(Registry, DataThatCannotBeStoredWritesNothing) {
  // Type names are compared exactly; binary data must be hexadecimal digits.
  EXPECT_LUA("assert(Lua_RegAdd('HKCU', " + keyLiteral_ + ", 'lower', 'reg_sz', 'x', true))");
  EXPECT_LUA("assert(Lua_RegAdd('HKCU', " + keyLiteral_ + ", 'multi', 'REG_MULTI_SZ', 'x', true))");
  EXPECT_LUA("assert(Lua_RegAdd('HKCU', " + keyLiteral_ + ", 'notHex', 'REG_BINARY', '0g', true))");
  EXPECT_LUA("assert(Lua_RegAdd('HKCU', " + keyLiteral_ +
             ", 'prefixed', 'REG_BINARY', '0x1', true))");
  for (const wchar_t* name : {L"lower", L"multi", L"notHex", L"prefixed"}) {
    EXPECT_FALSE(ReadStored(key_, name).exists) << name;
  }
  EXPECT_TRUE(KeyExists(key_)) << "the key itself is created all the same";

  // Root names are case-sensitive; an unknown one reaches no key at all.
  EXPECT_LUA("assert(Lua_RegAdd('hkcu', " + keyLiteral_ +
             "..'\\\\sub', 'v', 'REG_SZ', 'x', true))");
  EXPECT_FALSE(KeyExists(key_ + L"\\sub"));
}

TEST_F(Registry, OverwriteFalseKeepsAnExistingValue) {
  const std::string add = "Lua_RegAdd('HKCU', " + keyLiteral_ + ", ";
  EXPECT_LUA(add + "'kept', 'REG_SZ', 'first', true)");
  EXPECT_LUA(add + "'kept', 'REG_SZ', 'second', false)");
  EXPECT_EQ(L"first", ReadStored(key_, L"kept").Text());
  // Even a value of another type is kept.
  EXPECT_LUA(add + "'kept', 'REG_DWORD', 5, false)");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), ReadStored(key_, L"kept").type);

  EXPECT_LUA(add + "'missing', 'REG_DWORD', 5, false)");
  EXPECT_EQ((std::vector<BYTE>{5, 0, 0, 0}), ReadStored(key_, L"missing").bytes);
  EXPECT_LUA(add + "'kept', 'REG_SZ', 'second', true)");
  EXPECT_EQ(L"second", ReadStored(key_, L"kept").Text());
}

TEST_F(Registry, QueryGivesNilForOtherTypesAndMissingValues) {
  const wchar_t multi[] = L"a\0b\0";
  SetRaw(L"multi", REG_MULTI_SZ, multi, sizeof(multi));
  const BYTE binary[] = {1, 2};
  SetRaw(L"binary", REG_BINARY, binary, sizeof(binary));
  // Text stored without its terminating zero still reads whole.
  SetRaw(L"unterminated", REG_SZ, L"abc", 6);
  SetRaw(L"", REG_SZ, L"default", 16);

  const std::string query = "Lua_RegQuery('HKCU', " + keyLiteral_ + ", ";
  EXPECT_LUA("assert(" + query + "'multi') == nil)");
  EXPECT_LUA("assert(" + query + "'binary') == nil)");
  EXPECT_LUA("assert(" + query + "'absent') == nil)");
  EXPECT_LUA("assert(" + query + "'unterminated') == 'abc')");
  EXPECT_LUA("assert(" + query + "'') == 'default')");
  EXPECT_LUA("assert(Lua_RegQuery('HKCU', " + keyLiteral_ + "..'\\\\absent', 'x') == nil)");
  EXPECT_LUA("assert(Lua_RegQuery('HKEY_CURRENT_USER', " + keyLiteral_ + ", '') == nil)");
}

TEST_F(Registry, DeleteRemovesKeyTreesAndSingleValues) {
  for (const wchar_t* sub : {L"\\a\\b\\c", L"\\a\\d", L"\\e"}) {
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CURRENT_USER, (key_ + L"\\tree" + sub).c_str(),
                                               L"v", REG_SZ, L"x", 4));
  }
  SetRaw(L"gone", REG_SZ, L"x", 4);
  SetRaw(L"stays", REG_SZ, L"x", 4);

  EXPECT_LUA("assert(Lua_RegDel('HKCU', " + keyLiteral_ + ", 'gone') == true)");
  EXPECT_FALSE(ReadStored(key_, L"gone").exists);
  EXPECT_TRUE(ReadStored(key_, L"stays").exists);

  EXPECT_LUA("assert(Lua_RegDel('HKCU', " + keyLiteral_ + "..'\\\\tree') == true)");
  EXPECT_FALSE(KeyExists(key_ + L"\\tree"));
  EXPECT_TRUE(KeyExists(key_));
}

TEST_F(Registry, DeletingTheWholeRootIsRefused) {
  // An empty subkey would name the root itself: a script whose key variable
  // is unset must not empty HKEY_CURRENT_USER.
  SetRaw(L"stays", REG_SZ, L"x", 4);
  EXPECT_LUA("assert(Lua_RegDel('HKCU', '') == true)");
  EXPECT_LUA("assert(Lua_RegDel('HKCU', nil) == true)");
  EXPECT_LUA("assert(Lua_RegDel('HKCU', '\\\\') == true)");
  EXPECT_TRUE(ReadStored(key_, L"stays").exists);
  EXPECT_TRUE(KeyExists(L"Software"));
}

TEST_F(Registry, DeleteTracesWhatItCouldNotDo) {
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  SetRaw(L"值", REG_SZ, L"x", 4);
  const zrb::test::TracedResult run = RunInRunner(
      "assert(Lua_RegDel('HKCU', " + keyLiteral_ + ", '值'))\n" + "assert(Lua_RegDel('HKCU', " +
      keyLiteral_ + "..'\\\\absent', 'v'))\n" +  // no line
      "assert(Lua_RegDel('HKCU', " + keyLiteral_ + "..'\\\\absent'))\n" +
      "assert(Lua_RegDel('HKXX', 'Software'))\n" + "assert(Lua_RegDel('HKCU', ''))\n");
  ASSERT_EQ(0u, run.exitCode) << run.Joined();
  const std::vector<std::wstring> expected = {
      L"vq Delete Value HKCU, " + key_ + L", 值",
      L"vq DeleteSubKey " + key_ + L"\\absent failed, errcode: 2",
      L"vq OpenKey HKXX failed, errcode: 6",
      L"vq DeleteSubKey  failed, errcode: 87",
  };
  EXPECT_EQ(expected, run.lines);
  EXPECT_FALSE(ReadStored(key_, L"值").exists);
}

}  // namespace
