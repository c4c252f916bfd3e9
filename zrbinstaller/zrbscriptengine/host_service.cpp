#include "zrbinstaller/zrbscriptengine/host_service.h"

#include <algorithm>
#include <string>

#include "common/utility/trace.h"
#include "common/utility/unique_handle.h"
#include "zrbinstaller/zrbscriptengine/host_arguments.h"

namespace {

constexpr DWORD kMinPollMs = 50;
constexpr DWORD kMaxPollMs = 1000;

void TraceUnknownError() {
  zrb::Trace(L"Unknow Error in fun:%s\r\n", L"Lua_SCM");
  TraceWin32Error(L"");
}

bool StartOrStop(SC_HANDLE service, const std::wstring& verb) {
  SERVICE_STATUS status = {};
  if (!::QueryServiceStatus(service, &status)) {
    TraceWin32Error(L"QueryServiceStatus failed!");
    return false;
  }
  DWORD wanted = 0;
  if (_wcsicmp(verb.c_str(), L"start") == 0) {
    wanted = SERVICE_RUNNING;
    if (status.dwCurrentState == SERVICE_STOPPED && !::StartServiceW(service, 0, nullptr)) {
      TraceWin32Error(L"StartService failed!");
      return false;
    }
  } else if (_wcsicmp(verb.c_str(), L"stop") == 0) {
    wanted = SERVICE_STOPPED;
    if (status.dwCurrentState == SERVICE_RUNNING &&
        !::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
      TraceWin32Error(L"StopService failed!");
      return false;
    }
  } else {
    TraceUnknownError();
    return false;
  }
  return WaitForServiceState(service, wanted, kServiceStateWaitMs);
}

}  // namespace

bool WaitForServiceState(SC_HANDLE service, DWORD wanted, DWORD limitMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    SERVICE_STATUS status = {};
    if (!::QueryServiceStatus(service, &status)) {
      TraceUnknownError();
      return false;
    }
    if (status.dwCurrentState == wanted) return true;
    const DWORD elapsed = ::GetTickCount() - start;  // wraps around safely
    if (elapsed >= limitMs) {
      ::SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
      TraceUnknownError();
      return false;
    }
    const DWORD pause = std::clamp<DWORD>(status.dwWaitHint, kMinPollMs, kMaxPollMs);
    ::Sleep(std::min(pause, limitMs - elapsed));
  }
}

int Lua_SCM(lua_State* L) {
  const std::wstring name = zrb::host::ArgText(L, 1);
  const std::wstring verb = zrb::host::ArgText(L, 2);
  bool result = false;
  zrb::UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, GENERIC_EXECUTE));
  if (!manager) {
    TraceWin32Error(L"OpenSCManager failed!");
  } else if (zrb::UniqueServiceHandle service(::OpenServiceW(
                 manager.Get(), name.c_str(), SERVICE_QUERY_STATUS | SERVICE_START | SERVICE_STOP));
             !service) {
    // Nothing to start or stop counts as done.
    result = ::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    if (!result) TraceWin32Error(L"OpenService failed!");
  } else {
    result = StartOrStop(service.Get(), verb);
  }
  lua_pushboolean(L, result);  // +1
  return 1;
}
