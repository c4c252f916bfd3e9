#include "tests/unit/payload/payload_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "tests/support/traced_run.h"

namespace zrb::test {

namespace {

std::wstring FixtureFolder() { return TestProgramFolder() + L"payload-archives\\"; }

void ListInto(const std::wstring& root, const std::wstring& relative, bool folders,
              std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data;
  const std::wstring base = relative.empty() ? root : root + L"\\" + relative;
  HANDLE find = ::FindFirstFileW((base + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (folders) out.push_back(path + L"\\");
      ListInto(root, path, folders, out);
    } else {
      out.push_back(path);
    }
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
}

uint32_t Crc32(const std::string& bytes, size_t begin, size_t end) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = begin; i < end; ++i) {
    crc ^= static_cast<uint8_t>(bytes[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

uint64_t ReadLe(const std::string& bytes, size_t at, int count) {
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

void WriteLe32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

std::wstring ArchivePath(const std::wstring& name) { return FixtureFolder() + name + L".7z"; }
std::wstring SourceTree(const std::wstring& tree) { return FixtureFolder() + L"src\\" + tree; }

std::vector<std::wstring> ListTree(const std::wstring& root, bool folders) {
  std::vector<std::wstring> out;
  ListInto(root, L"", folders, out);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::wstring> CompareTrees(const std::wstring& expected, const std::wstring& actual,
                                       TreeMatch match) {
  std::vector<std::wstring> differences;
  const std::vector<std::wstring> want = ListTree(expected, true);
  const std::vector<std::wstring> have = ListTree(actual, true);
  for (const std::wstring& path : have) {
    if (!std::binary_search(want.begin(), want.end(), path))
      differences.push_back(L"extra " + path);
  }
  for (const std::wstring& path : want) {
    if (!std::binary_search(have.begin(), have.end(), path)) {
      if (match == TreeMatch::kExact) differences.push_back(L"missing " + path);
      continue;
    }
    if (path.back() == L'\\') continue;
    const std::wstring source = expected + L"\\" + path;
    const std::wstring copy = actual + L"\\" + path;
    if (ReadBytes(source) != ReadBytes(copy)) differences.push_back(L"bytes of " + path);
    WIN32_FILE_ATTRIBUTE_DATA a = {}, b = {};
    ::GetFileAttributesExW(source.c_str(), GetFileExInfoStandard, &a);
    ::GetFileAttributesExW(copy.c_str(), GetFileExInfoStandard, &b);
    if (::CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) != 0) {
      differences.push_back(L"time of " + path);
    }
    if ((a.dwFileAttributes ^ b.dwFileAttributes) & FILE_ATTRIBUTE_READONLY) {
      differences.push_back(L"read-only attribute of " + path);
    }
  }
  return differences;
}

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string EditHeader(std::string archive, const std::string& from, const std::string& to) {
  EXPECT_EQ(from.size(), to.size());
  EXPECT_GE(archive.size(), 32u);
  if (archive.size() < 32 || from.size() != to.size()) return archive;
  const uint64_t offset = ReadLe(archive, 12, 8);
  const uint64_t size = ReadLe(archive, 20, 8);
  const size_t begin = static_cast<size_t>(32 + offset);
  const size_t end = static_cast<size_t>(begin + size);
  EXPECT_LE(end, archive.size());
  const size_t at = archive.find(from, begin);
  EXPECT_TRUE(at != std::string::npos && at + from.size() <= end) << "not in the header";
  if (at == std::string::npos || at + from.size() > end) return archive;
  archive.replace(at, to.size(), to);
  WriteLe32(archive, 28, Crc32(archive, begin, end));
  WriteLe32(archive, 8, Crc32(archive, 12, 32));
  return archive;
}

namespace {

struct DeadlineJob {
  std::function<int()> work;
  int result = 0;
};

DWORD WINAPI RunDeadlineJob(void* parameter) {
  DeadlineJob* job = static_cast<DeadlineJob*>(parameter);
  job->result = job->work();
  return 0;
}

}  // namespace

int RunWithDeadline(const std::function<int()>& work, DWORD timeoutMs) {
  auto job = std::make_unique<DeadlineJob>();
  job->work = work;
  HANDLE thread = ::CreateThread(nullptr, 0, RunDeadlineJob, job.get(), 0, nullptr);
  if (!thread) {
    ADD_FAILURE() << "no thread";
    return -1;
  }
  if (::WaitForSingleObject(thread, timeoutMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "extraction did not finish within %lu ms\n", timeoutMs);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
  }
  ::CloseHandle(thread);
  return job->result;
}

}  // namespace zrb::test
