// Shared pieces of the payload tests: the archives made by
// make_test_archives.sh, tree comparison and editing of uncompressed archive
// headers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/scratch_files.h"

namespace zrb::test {

// <fixture>\<name>.7z and <fixture>\src\<tree>.
std::wstring ArchivePath(const std::wstring& name);
std::wstring SourceTree(const std::wstring& tree);

// Relative paths of the files (and, with `folders`, the folders) of a tree,
// sorted.
std::vector<std::wstring> ListTree(const std::wstring& root, bool folders = false);

enum class TreeMatch {
  kExact,     // the same folders and files
  kSubsetOf,  // files may be missing from `actual`, nothing may be extra
};

// Differences between two trees, one line each: folders and files present
// on one side only, and files whose bytes, last-write time or read-only
// attribute differ.
std::vector<std::wstring> CompareTrees(const std::wstring& expected, const std::wstring& actual,
                                       TreeMatch match = TreeMatch::kExact);

// UTF-16LE bytes of `text`.
std::string Utf16Bytes(const std::wstring& text);

// Replaces the first `from` in the uncompressed header of `archive` with
// `to` (of the same length) and fixes the header's checksums. Fails the
// test when `from` is not in the header.
std::string EditHeader(std::string archive, const std::string& from, const std::string& to);

// Runs `work` on another thread; ends the test program when it does not
// finish within `timeoutMs` (a hang must not stall the whole run).
int RunWithDeadline(const std::function<int()>& work, DWORD timeoutMs = 60000);

}  // namespace zrb::test
