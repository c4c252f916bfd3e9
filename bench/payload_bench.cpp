// Times one archive extraction and reports the process's memory, for
// bench/payload-bench.sh.
//
//   payload_bench.exe [--memory] <archive> <destination folder>
//
// --memory reads the archive into memory first and unpacks it from there,
// as the setup does with its payload resource; otherwise it is read from the
// file. Prints one line of key=value pairs.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/utility/unique_handle.h"
#include "payload/archive_extraction.h"

namespace {

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters;
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>& bytes) {
  zrb::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !::GetFileSizeEx(file.Get(), &size)) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  return ::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
         read == bytes.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int first = 1;
  const bool fromMemory = argc > 1 && std::wcscmp(argv[1], L"--memory") == 0;
  if (fromMemory) ++first;
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: payload_bench.exe [--memory] <archive> <destination>\n");
    return 2;
  }
  const std::wstring archive = argv[first];
  const std::wstring destination = argv[first + 1];
  ::CreateDirectoryW(destination.c_str(), nullptr);

  const PROCESS_MEMORY_COUNTERS before = Memory();
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  int result = 0;
  size_t files = 0;
  zrb::payload::ExtractionCallbacks callbacks;
  callbacks.fileWritten = [&files](const std::wstring&) { ++files; };
  if (fromMemory) {
    // The copy stands for the setup's payload resource.
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(archive, bytes)) {
      std::fprintf(stderr, "cannot read the archive\n");
      return 2;
    }
    result = zrb::payload::ExtractFromMemory(bytes.data(), bytes.size(), destination, callbacks);
  } else {
    result = zrb::payload::ExtractFromFile(archive, destination, callbacks);
  }
  ::QueryPerformanceCounter(&end);
  const PROCESS_MEMORY_COUNTERS after = Memory();

  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("result=%d files=%u seconds=%.3f working_set_before=%lu peak_working_set=%lu\n",
              result, static_cast<unsigned>(files), seconds,
              static_cast<unsigned long>(before.WorkingSetSize),
              static_cast<unsigned long>(after.PeakWorkingSetSize));
  return result == 0 ? 0 : 1;
}
