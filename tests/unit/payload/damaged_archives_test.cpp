// Archives that are cut short, damaged or hostile fail cleanly: a result
// code instead of a crash or a hang, no damaged file left behind, and never
// a file outside the destination.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "payload/archive_extraction.h"
#include "tests/unit/payload/payload_test_support.h"

namespace {

using testing::IsEmpty;
using zrb::payload::ExtractFromMemory;
using zrb::test::ArchivePath;
using zrb::test::CompareTrees;
using zrb::test::ReadBytes;
using zrb::test::ScratchFolder;
using zrb::test::SourceTree;
using zrb::test::TreeMatch;

int UnpackBytes(const std::string& bytes, const std::wstring& destination) {
  return zrb::test::RunWithDeadline(
      [&] { return ExtractFromMemory(bytes.data(), bytes.size(), destination, {}); });
}

// Every file that an extraction of a damaged archive leaves behind must be
// whole and right; the call may only succeed with the whole tree right.
void ExpectCleanOutcome(const std::string& bytes, const std::wstring& tree,
                        const std::string& what) {
  SCOPED_TRACE(what);
  ScratchFolder scratch;
  const std::wstring destination = scratch.Folder(L"dest");
  const int result = UnpackBytes(bytes, destination);
  EXPECT_THAT(CompareTrees(SourceTree(tree), destination,
                           result == 0 ? TreeMatch::kExact : TreeMatch::kSubsetOf),
              IsEmpty());
}

// Offsets worth damaging: the start header, the end header, and points
// spread over the packed data.
std::set<size_t> DamagePoints(const std::string& archive, size_t spread) {
  std::set<size_t> points;
  for (size_t at = 0; at < 32 && at < archive.size(); ++at) points.insert(at);
  const size_t tail = archive.size() > 160 ? archive.size() - 160 : 0;
  for (size_t at = tail; at < archive.size(); ++at) points.insert(at);
  for (size_t i = 1; i <= spread; ++i) points.insert(32 + (archive.size() - 33) * i / (spread + 1));
  return points;
}

TEST(DamagedArchives, CutShortArchivesFail) {
  for (const wchar_t* name : {L"bcj2", L"lzma", L"copy"}) {
    const std::string archive = ReadBytes(ArchivePath(name));
    ASSERT_GT(archive.size(), 1000u);
    std::set<size_t> lengths = {0, 1, 6, 12, 31, 32, 33, archive.size() - 1};
    for (size_t i = 1; i < 12; ++i) lengths.insert(archive.size() * i / 12);
    for (const size_t length : lengths) {
      const std::string cut = archive.substr(0, length);
      ScratchFolder scratch;
      const std::wstring destination = scratch.Folder(L"dest");
      EXPECT_NE(0, UnpackBytes(cut, destination)) << "length " << length;
      EXPECT_THAT(CompareTrees(SourceTree(L"mixed"), destination, TreeMatch::kSubsetOf), IsEmpty());
    }
  }
}

TEST(DamagedArchives, FlippedBytesNeverLeaveDamagedFiles) {
  for (const wchar_t* name : {L"bcj2", L"lzma"}) {
    const std::string archive = ReadBytes(ArchivePath(name));
    for (const size_t at : DamagePoints(archive, 40)) {
      std::string damaged = archive;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
      ExpectCleanOutcome(damaged, L"mixed", "byte " + std::to_string(at));
    }
  }
}

TEST(DamagedArchives, DamageInsideASolidBlockRemovesTheFileBeingWritten) {
  // Copy keeps file data as it is: damage one byte in the middle of the big
  // second file, which is then found out by its checksum while written.
  std::string archive = ReadBytes(ArchivePath(L"big-copy"));
  const std::string second = ReadBytes(SourceTree(L"big") + L"\\second.bin");
  const size_t at = archive.rfind(second.substr(second.size() / 2, 64));
  ASSERT_NE(std::string::npos, at);
  archive[at] = static_cast<char>(archive[at] ^ 1);
  ScratchFolder scratch;
  const std::wstring destination = scratch.Folder(L"dest");
  EXPECT_EQ(3 /* SZ_ERROR_CRC */, UnpackBytes(archive, destination));
  EXPECT_EQ(std::vector<std::wstring>{L"blob.bin"}, zrb::test::ListTree(destination));
  EXPECT_THAT(CompareTrees(SourceTree(L"big"), destination, TreeMatch::kSubsetOf), IsEmpty());
}

TEST(HostileArchives, EntriesLeavingTheDestinationAreRefusedWithTheWholeArchive) {
  const std::string archive = ReadBytes(ArchivePath(L"hostile"));
  {
    // As made, every name is harmless and everything unpacks.
    ScratchFolder scratch;
    const std::wstring destination = scratch.Folder(L"dest");
    EXPECT_EQ(0, UnpackBytes(archive, destination));
    EXPECT_EQ(9u, zrb::test::ListTree(destination).size());
  }
  struct Case {
    const wchar_t* stored;
    const wchar_t* hostile;
    bool checkTarget;  // whether the place the name points to can be looked at
  } cases[] = {
      {L"P1/up.txt", L"../up.txt", true},
      {L"P5Xup2.txt", L"..\\up2.txt", true},
      {L"a/P2/P2/deep.txt", L"a/../../deep.txt", true},
      {L"dots/D3D/x.txt", L"dots/.../x.txt", true},
      {L"Qabs.txt", L"/abs.txt", true},
      {L"CXdrive.txt", L"C:drive.txt", true},
      {L"UUserver/share.txt", L"//server/share.txt", false},
      {L"adsXstream.txt", L"ads:stream.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hostile);
    const std::string edited = zrb::test::EditHeader(archive, zrb::test::Utf16Bytes(c.stored),
                                                     zrb::test::Utf16Bytes(c.hostile));
    ScratchFolder scratch;
    const std::wstring destination = scratch.Folder(L"dest");
    EXPECT_EQ(zrb::payload::kExtractUnsafeEntry, UnpackBytes(edited, destination));
    // Nothing at all was written, inside or outside.
    EXPECT_THAT(zrb::test::ListTree(scratch.path(), true), testing::ElementsAre(L"dest\\"));
    if (c.checkTarget) {
      wchar_t target[MAX_PATH] = {};
      ::GetFullPathNameW((destination + L"\\" + c.hostile).c_str(), MAX_PATH, target, nullptr);
      EXPECT_FALSE(zrb::test::Exists(target)) << target;
    }
  }
}

}  // namespace
