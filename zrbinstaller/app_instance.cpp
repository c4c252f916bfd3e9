#include "zrbinstaller/app_instance.h"

#include <cstdarg>

#include "common/utility/trace.h"
#include "zrbinstaller/page_window_class.h"

const wchar_t kDefaultMutexBaseName[] = L"Global\\{A043B702-166A-4FB8-9733-E2BC4713F36F}";

namespace {

constexpr size_t kObjectNameUnits = 260;

std::wstring FormatObjectName(const wchar_t* format, ...) {
  wchar_t name[kObjectNameUnits] = {};
  va_list args;
  va_start(args, format);
  zrb::FormatWide(name, kObjectNameUnits, format, args);
  va_end(args);
  return name;
}

}  // namespace

std::wstring BuildMutexObjectName(const std::wstring& baseName, int appId) {
  const std::wstring base = baseName.empty() ? kDefaultMutexBaseName : baseName;
  if (!baseName.empty()) appId = 0;
  return appId != 0 ? FormatObjectName(L"%s%d", base.c_str(), appId)
                    : FormatObjectName(L"%s", base.c_str());
}

HANDLE CreateAppInstance(const std::wstring& baseName, int appId) {
  const std::wstring objectName = BuildMutexObjectName(baseName, appId);
  zrb::Trace(L" szObjectName = %s ", objectName.c_str());

  // A null DACL lets every user's setup open the marker.
  SECURITY_DESCRIPTOR descriptor;
  ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, TRUE};

  HANDLE mutex = ::CreateMutexW(&attributes, FALSE, objectName.c_str());
  if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    if (HWND other = ::FindWindowW(kPageWindowClassName, nullptr)) {
      ::SwitchToThisWindow(other, TRUE);
    }
    return mutex;
  }
  // Our own marker (or none, when creation failed) lives until exit.
  return nullptr;
}
