// The payload functions inside a real setup: its "_7Z" and "LUA" resources,
// results and trace lines, in a setup assembled by the build
// (payload_probe.exe runs the script the test writes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utility/string_conversion.h"
#include "tests/e2e/probe_setup.h"
#include "tests/support/scratch_files.h"

namespace {

using zrb::test::ProbeRun;
using zrb::test::ProbeSetup;
using zrb::test::ReadBytes;
using zrb::test::ScratchFolder;
using zrb::test::SetupPath;
using zrb::test::WriteBytes;

// A Lua string literal for a path.
std::string Quoted(const std::wstring& path) { return "[[" + zrb::WideToUtf8(path) + "]]"; }

// Index of the first line at or after `from` equal to `line`, or -1.
int FindFrom(const std::vector<std::wstring>& lines, int from, const std::wstring& line) {
  for (int i = from; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i] == line) return i;
  }
  return -1;
}

void ExpectPayloadIn(const std::wstring& folder) {
  EXPECT_EQ("Pomelia payload probe\r\n", ReadBytes(folder + L"\\readme.txt")) << folder;
  std::string numbers;
  for (int i = 1; i <= 3000; ++i) numbers += std::to_string(i) + "\n";
  EXPECT_EQ(numbers, ReadBytes(folder + L"\\bin\\tool.dat")) << folder;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((folder + L"\\docs\\empty.txt").c_str()));
}

TEST(PayloadProbe, UnpacksResourcesAndFilesAndWritesResourcesOut) {
  ScratchFolder scratch;
  const std::wstring base = scratch.Folder(L"解压 目标");
  const std::wstring byName = scratch.Folder(L"解压 目标\\by name");
  const std::wstring byId = scratch.Folder(L"解压 目标\\by id");
  const std::wstring byIdText = scratch.Folder(L"解压 目标\\by id text");
  const std::wstring fromFile = scratch.Folder(L"解压 目标\\from file");
  const std::wstring damaged = scratch.Folder(L"解压 目标\\damaged");
  const std::wstring out = scratch.Folder(L"解压 目标\\resources");
  const std::wstring missing = base + L"\\missing";
  const std::wstring archive = SetupPath(L"payload.7z");
  const std::wstring damagedArchive = scratch.path() + L"\\damaged.7z";
  std::string bytes = ReadBytes(archive);
  ASSERT_GT(bytes.size(), 100u);
  bytes[bytes.size() / 2] ^= 0x55;
  ASSERT_TRUE(WriteBytes(damagedArchive, bytes));

  const std::wstring script = scratch.path() + L"\\script.lua";
  WriteBytes(script,
             "local log = assert(io.open(os.getenv('T_LOG'), 'a'))\n"
             "local function note(name, ok) log:write(name, '=', tostring(ok), '\\n') end\n"
             "note('name', Lua_UnCompress7z('App.7z', " +
                 Quoted(byName) +
                 "))\n"
                 "note('id', Lua_UnCompress7z(101, " +
                 Quoted(byId) +
                 "))\n"
                 "note('id text', Lua_UnCompress7z('101', " +
                 Quoted(byIdText) +
                 ", false))\n"
                 "note('no folder', Lua_UnCompress7z('APP.7Z', " +
                 Quoted(missing) +
                 "))\n"
                 "note('no resource', Lua_UnCompress7z('OTHER.7Z', " +
                 Quoted(byName) +
                 "))\n"
                 "note('file', Lua_UnCompress7z(" +
                 Quoted(archive) + ", " + Quoted(fromFile) +
                 ", true))\n"
                 "note('no file', Lua_UnCompress7z(" +
                 Quoted(archive + L".none") + ", " + Quoted(fromFile) +
                 ", true))\n"
                 "note('damaged', Lua_UnCompress7z(" +
                 Quoted(damagedArchive) + ", " + Quoted(damaged) +
                 ", true))\n"
                 "note('lua', Lua_ExtractResource('LUA', 'extra.lua', " +
                 Quoted(out + L"\\extra.lua") +
                 "))\n"
                 "note('lua id', Lua_ExtractResource('LUA', '7', " +
                 Quoted(out + L"\\seven.lua") +
                 "))\n"
                 "note('payload', Lua_ExtractResource('_7Z', 'APP.7Z', " +
                 Quoted(out + L"\\app.7z") +
                 "))\n"
                 "note('lower type', Lua_ExtractResource('_7z', 101, " +
                 Quoted(out + L"\\as stored.bin") +
                 "))\n"
                 "note('no such', Lua_ExtractResource('LUA', 'NONE', " +
                 Quoted(out + L"\\none.lua") +
                 "))\n"
                 "note('no dir', Lua_ExtractResource('LUA', 'EXTRA.LUA', " +
                 Quoted(out + L"\\no\\x.lua") +
                 "))\n"
                 "log:close()\n");

  ProbeSetup probe;
  probe.env = {{L"T_SCRIPT", script}};
  const ProbeRun run = probe.Run(L"payload_probe.exe");
  SCOPED_TRACE(run.trace.Joined());
  EXPECT_EQ(std::vector<std::string>({"name=true", "id=true", "id text=true", "no folder=false",
                                      "no resource=false", "file=true", "no file=false",
                                      "damaged=false", "lua=true", "lua id=true", "payload=true",
                                      "lower type=true", "no such=false", "no dir=false"}),
            run.hooks);

  // The trace, in the order of the calls.
  const std::vector<std::wstring> expected = {
      L"vq UnCompress App.7z to " + byName + L" .",
      L"vq UnCompress successful.",
      L"vq UnCompress successful.",  // by id: no line naming the source
      L"vq UnCompress successful.",
      L"vq Fun:Lua_UnCompress7z, Description:" + missing + L" it's not exists!",
      L"vq Fun:Lua_UnCompress7z ,LoadResource failed!",
      L"vq UnCompress " + archive + L" to " + fromFile + L" .",
      L"vq UnCompress successful.",
      L"vq Fun:Lua_UnCompress7z, Description:" + archive + L".none it's not exists!",
      L"vq UnCompress " + damagedArchive + L" to " + damaged + L" .",
      L"vq Fun:Lua_UnCompress7z, Description: UnCompress failed.!",
      L"vq Fun:Lua_ExtractResource ,LoadResource failed!",
      L"vq Fun:Lua_ExtractResource ,CreateFileW " + out + L"\\no\\x.lua failed!",
  };
  int at = 0;
  for (const std::wstring& line : expected) {
    const int found = FindFrom(run.trace.lines, at, line);
    EXPECT_GE(found, 0) << "missing in order: " << zrb::WideToUtf8(line);
    if (found >= 0) at = found + 1;
  }
  EXPECT_FALSE(run.trace.Has(L"vq UnCompress 101 to " + byId + L" ."));

  for (const std::wstring& folder : {byName, byId, byIdText, fromFile}) ExpectPayloadIn(folder);
  // Resources come out as they went in; a payload archive as a plain 7z.
  EXPECT_EQ(ReadBytes(archive), ReadBytes(out + L"\\app.7z"));
  const std::string stored = ReadBytes(out + L"\\as stored.bin");
  ASSERT_GE(stored.size(), 6u);
  EXPECT_EQ(std::string("\x7A\x37\xBC\xAF\x27\x1C", 6), stored.substr(0, 6));
  EXPECT_EQ(ReadBytes(out + L"\\extra.lua"), ReadBytes(out + L"\\seven.lua"));
  EXPECT_EQ(
      "-- A resource that Lua_ExtractResource writes out byte for byte.\n"
      "return \"extra resource\"\n",
      ReadBytes(out + L"\\extra.lua"));
}

}  // namespace
