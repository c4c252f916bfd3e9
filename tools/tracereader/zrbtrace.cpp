// zrbtrace: runs a program and prints its debug output, one string a line,
// as UTF-8 on standard output; exits with the program's exit code.
//
//   zrbtrace.exe [--timeout SECONDS] program [arguments...]
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common/utility/string_conversion.h"
#include "tools/tracereader/debug_trace_session.h"

namespace {

// Quotes one argument for CommandLineToArgvW-style parsing.
std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

void WriteLine(HANDLE out, const std::wstring& text) {
  const std::string line = zrb::WideToUtf8(text) + "\n";
  DWORD written = 0;
  ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int first = 1;
  DWORD timeoutMs = INFINITE;
  if (argc > 2 && std::wcscmp(argv[1], L"--timeout") == 0) {
    timeoutMs = static_cast<DWORD>(_wtoi(argv[2])) * 1000;
    first = 3;
  }
  if (first >= argc) {
    std::fputws(L"usage: zrbtrace [--timeout SECONDS] program [arguments...]\n", stderr);
    return 2;
  }
  std::wstring commandLine;
  for (int i = first; i < argc; ++i) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += QuoteArgument(argv[i]);
  }
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const zrb::DebugRunResult result = zrb::RunWithDebugOutput(
      commandLine, [out](const std::wstring& text) { WriteLine(out, text); }, timeoutMs);
  if (!result.started) {
    std::fwprintf(stderr, L"zrbtrace: cannot start %ls (error %lu)\n", argv[first],
                  ::GetLastError());
    return 2;
  }
  return static_cast<int>(result.exitCode);
}
