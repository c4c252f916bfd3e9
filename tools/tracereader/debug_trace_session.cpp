#include "tools/tracereader/debug_trace_session.h"

#include <vector>

#include "common/utility/string_conversion.h"
#include "common/utility/unique_handle.h"

namespace zrb {
namespace {

std::wstring ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  const size_t unitSize = info.fUnicode ? sizeof(wchar_t) : 1;
  std::vector<char> bytes(static_cast<size_t>(info.nDebugStringLength) * unitSize);
  SIZE_T read = 0;
  if (bytes.empty() ||
      !::ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(), &read)) {
    return {};
  }
  std::wstring text;
  if (info.fUnicode) {
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), read / sizeof(wchar_t));
  } else {
    text = MultiByteToWide(CP_ACP, std::string_view(bytes.data(), read));
  }
  while (!text.empty() && (text.back() == L'\0' || text.back() == L'\n' || text.back() == L'\r')) {
    text.pop_back();
  }
  return text;
}

// The debugger owns the image file handles the events carry.
void CloseImageFile(HANDLE file) {
  if (file && file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

DWORD RemainingTime(DWORD start, DWORD timeoutMs) {
  if (timeoutMs == INFINITE) return 500;
  const DWORD elapsed = ::GetTickCount() - start;
  return elapsed >= timeoutMs ? 0 : (timeoutMs - elapsed < 500 ? timeoutMs - elapsed : 500);
}

}  // namespace

DebugRunResult RunWithDebugOutput(const std::wstring& commandLine,
                                  const std::function<void(const std::wstring&)>& onString,
                                  DWORD timeoutMs, const std::function<void()>& onStarted) {
  DebugRunResult result;
  std::wstring mutableLine = commandLine;
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION info = {};
  const BOOL created = ::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE,
                                        DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &info);
  if (onStarted) onStarted();
  if (!created) return result;
  result.started = true;
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);

  const DWORD start = ::GetTickCount();
  for (;;) {
    DEBUG_EVENT event = {};
    if (!::WaitForDebugEvent(&event, RemainingTime(start, timeoutMs))) {
      if (RemainingTime(start, timeoutMs) == 0) {
        result.timedOut = true;
        ::TerminateProcess(process.Get(), 0xDEAD);
        timeoutMs = INFINITE;  // collect the exit event
      }
      continue;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT:
        onString(ReadDebugString(process.Get(), event.u.DebugString));
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        CloseImageFile(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        CloseImageFile(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint is ours to swallow; every other exception
        // belongs to the program's own handlers.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        result.exitCode = event.u.ExitProcess.dwExitCode;
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        return result;
      default:
        break;
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
  }
}

}  // namespace zrb
