// A service program for the service tests, registered by the tests
// themselves.
//
//   zrb_test_service.exe [stubborn]
//
// Starting takes a moment (START_PENDING, then RUNNING); a stop request is
// answered with STOP_PENDING and STOPPED a moment later. A stubborn service
// answers with STOP_PENDING and never stops.
#include <windows.h>

#include <string>

namespace {

constexpr DWORD kStepMs = 300;
constexpr DWORD kWaitHintMs = 200;

bool stubborn = false;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status = {};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : kWaitHintMs;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    if (stubborn) {
      Report(SERVICE_STOP_PENDING);
    } else {
      SetEvent(stopRequested);
    }
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv) {
  statusHandle = RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", Handler, nullptr);
  if (!statusHandle) return;
  Report(SERVICE_START_PENDING);
  Sleep(kStepMs);
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopRequested, INFINITE);
  Report(SERVICE_STOP_PENDING);
  Sleep(kStepMs);
  Report(SERVICE_STOPPED);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  stubborn = argc > 1 && std::wstring(argv[1]) == L"stubborn";
  stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  wchar_t name[] = L"";
  const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
