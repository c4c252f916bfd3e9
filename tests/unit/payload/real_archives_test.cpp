// Archives made by 7-Zip itself (make_test_archives.sh) unpack to exactly
// their sources: bytes, stored times, read-only attributes, empty files and
// folders, non-ASCII names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "payload/archive_extraction.h"
#include "tests/unit/payload/payload_test_support.h"

namespace {

using testing::IsEmpty;
using zrb::payload::ArchiveForm;
using zrb::payload::ExtractFromFile;
using zrb::payload::ExtractFromMemory;
using zrb::payload::ExtractionCallbacks;
using zrb::test::ArchivePath;
using zrb::test::CompareTrees;
using zrb::test::ReadBytes;
using zrb::test::ScratchFolder;
using zrb::test::SourceTree;

struct Unpacked {
  int result = -1;
  std::vector<std::wstring> written;  // per-file callback paths, in order
};

Unpacked Unpack(const std::wstring& archive, const std::wstring& destination, bool fromMemory) {
  Unpacked unpacked;
  ExtractionCallbacks callbacks;
  callbacks.fileWritten = [&unpacked](const std::wstring& path) {
    unpacked.written.push_back(path);
  };
  if (fromMemory) {
    const std::string bytes = ReadBytes(archive);
    unpacked.result = ExtractFromMemory(bytes.data(), bytes.size(), destination, callbacks);
  } else {
    unpacked.result = ExtractFromFile(archive, destination, callbacks);
  }
  return unpacked;
}

// Full paths of a tree's files, as the per-file callback reports them.
std::vector<std::wstring> FilesUnder(const std::wstring& destination, const std::wstring& tree) {
  std::vector<std::wstring> files;
  for (const std::wstring& file : zrb::test::ListTree(SourceTree(tree))) {
    files.push_back(destination + L"\\" + file);
  }
  return files;
}

TEST(RealArchives, EveryMethodUnpacksExactly) {
  struct Case {
    const wchar_t* archive;
    const wchar_t* tree;
  } cases[] = {
      {L"lzma", L"mixed"},         {L"lzma2", L"mixed"},         {L"bcj-lzma2", L"mixed"},
      {L"arm-lzma", L"mixed"},     {L"armt", L"mixed"},          {L"arm64", L"mixed"},
      {L"ppc", L"mixed"},          {L"sparc", L"mixed"},         {L"ia64", L"mixed"},
      {L"riscv", L"mixed"},        {L"delta", L"mixed"},         {L"bcj2", L"mixed"},
      {L"copy", L"mixed"},         {L"default-solid", L"mixed"}, {L"non-solid", L"mixed"},
      {L"big-lzma", L"big"},       {L"big-lzma2", L"big"},       {L"big-bcj2", L"big"},
      {L"big-arm", L"big"},        {L"big-copy", L"big"},        {L"folders", L"folders"},
      {L"plain-header", L"mixed"},
  };
  for (const Case& c : cases) {
    for (const bool fromMemory : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.archive << (fromMemory ? " from memory" : " from file"));
      ScratchFolder scratch;
      const std::wstring destination = scratch.Folder(L"目标 folder");
      const Unpacked unpacked = Unpack(ArchivePath(c.archive), destination, fromMemory);
      EXPECT_EQ(0, unpacked.result);
      EXPECT_THAT(CompareTrees(SourceTree(c.tree), destination), IsEmpty());
      // Each file once, with its full path in backslashes; folders never.
      std::vector<std::wstring> written = unpacked.written;
      std::sort(written.begin(), written.end());
      EXPECT_EQ(FilesUnder(destination, c.tree), written);
    }
  }
}

TEST(RealArchives, OverwritesWhatIsThereIncludingReadOnlyFiles) {
  ScratchFolder scratch;
  const std::wstring destination = scratch.Folder(L"dest");
  // Older, longer and read-only versions of files the archive holds.
  ASSERT_TRUE(zrb::test::WriteBytes(destination + L"\\empty.txt", std::string(5000, 'x')));
  ASSERT_TRUE(zrb::test::WriteBytes(destination + L"\\readonly.txt", "old old old old"));
  ASSERT_TRUE(::CreateDirectoryW((destination + L"\\a").c_str(), nullptr));
  ASSERT_TRUE(zrb::test::WriteBytes(destination + L"\\a\\random.bin", "old"));
  for (const wchar_t* name : {L"\\readonly.txt", L"\\a\\random.bin"}) {
    ASSERT_TRUE(::SetFileAttributesW((destination + name).c_str(), FILE_ATTRIBUTE_READONLY));
  }
  const Unpacked unpacked = Unpack(ArchivePath(L"lzma2"), destination, false);
  EXPECT_EQ(0, unpacked.result);
  EXPECT_THAT(CompareTrees(SourceTree(L"mixed"), destination), IsEmpty());
}

TEST(RealArchives, StoredHiddenAttributeIsApplied) {
  // 7-Zip on Linux stores no hidden bit: add it to hidden.txt's attributes.
  const std::string archive = ReadBytes(ArchivePath(L"plain-header"));
  const unsigned mode = 0100604;  // hidden.txt's Unix mode, kept in the high half
  const unsigned stored = 0x8000 | FILE_ATTRIBUTE_ARCHIVE | (mode << 16);
  auto bytes = [](unsigned value) { return std::string(reinterpret_cast<char*>(&value), 4); };
  const std::string edited =
      zrb::test::EditHeader(archive, bytes(stored), bytes(stored | FILE_ATTRIBUTE_HIDDEN));
  ScratchFolder scratch;
  const std::wstring destination = scratch.Folder(L"dest");
  EXPECT_EQ(0, ExtractFromMemory(edited.data(), edited.size(), destination, {}));
  const DWORD hidden = ::GetFileAttributesW((destination + L"\\hidden.txt").c_str());
  const DWORD plain = ::GetFileAttributesW((destination + L"\\a\\b\\c.txt").c_str());
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, hidden);
  EXPECT_TRUE(hidden & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(hidden & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(plain & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_THAT(CompareTrees(SourceTree(L"mixed"), destination), IsEmpty());
}

TEST(RealArchives, PayloadFormHasItsFirstTwoBytesExchanged) {
  std::string stored = ReadBytes(ArchivePath(L"bcj2"));
  ASSERT_GE(stored.size(), 2u);
  std::swap(stored[0], stored[1]);
  ScratchFolder scratch;
  const std::wstring destination = scratch.Folder(L"dest");
  EXPECT_EQ(0, ExtractFromMemory(stored.data(), stored.size(), destination, {},
                                 ArchiveForm::kSignatureExchanged));
  EXPECT_THAT(CompareTrees(SourceTree(L"mixed"), destination), IsEmpty());
  // Read as a plain archive the same bytes are no archive at all.
  const std::wstring second = scratch.Folder(L"second");
  EXPECT_EQ(17 /* SZ_ERROR_NO_ARCHIVE */,
            ExtractFromMemory(stored.data(), stored.size(), second, {}));
  EXPECT_THAT(zrb::test::ListTree(second, true), IsEmpty());
}

TEST(RealArchives, MissingArchiveFileCannotBeOpened) {
  ScratchFolder scratch;
  EXPECT_EQ(zrb::payload::kExtractCannotOpenArchive,
            ExtractFromFile(scratch.path() + L"\\none.7z", scratch.path(), {}));
}

}  // namespace
