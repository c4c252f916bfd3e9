#include <gtest/gtest.h>

#include <string>

#include "common/utility/unique_handle.h"
#include "tests/unit/hostlib/host_script.h"
#include "zrbinstaller/zrbscriptengine/host_service.h"

namespace {

using zrb::UniqueServiceHandle;

// Test services run the helper program tests/helpers/test_service.cpp; Wine's
// service control manager starts and stops them like Windows does. They are
// registered once for all tests and deleted at the end.
class Service : public ::testing::Test {
 protected:
  static constexpr wchar_t kName[] = L"ZrbHostLibTestService";
  static constexpr wchar_t kStubbornName[] = L"ZrbHostLibStubbornService";

  static void SetUpTestSuite() {
    manager_ = new UniqueServiceHandle(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    const std::wstring program = L"\"" + zrb::test::TestProgramFolder() + L"zrb_test_service.exe\"";
    Register(kName, program);
    Register(kStubbornName, program + L" stubborn");
  }

  static void TearDownTestSuite() {
    Remove(kName);
    Remove(kStubbornName);
    delete manager_;
    manager_ = nullptr;
  }

  void SetUp() override { ASSERT_TRUE(*manager_) << "no service control manager"; }

  static UniqueServiceHandle Open(const wchar_t* name) {
    return UniqueServiceHandle(::OpenServiceW(manager_->Get(), name, SERVICE_ALL_ACCESS));
  }

  static DWORD State(const wchar_t* name) {
    SERVICE_STATUS status = {};
    const UniqueServiceHandle service = Open(name);
    return service && ::QueryServiceStatus(service.Get(), &status) ? status.dwCurrentState : 0;
  }

  static bool Scm(const wchar_t* name, const char* verb) {
    const std::string source = "scm_result = Lua_SCM(" + zrb::test::LuaString(name) + ", '" + verb +
                               "')  assert(type(scm_result) == 'boolean')";
    EXPECT_LUA(source);
    return zrb::test::Engine()->GetGlobalBoolean("scm_result");
  }

 private:
  static void Register(const wchar_t* name, const std::wstring& commandLine) {
    Remove(name);  // left over from an interrupted run
    // A deleted service lingers until the manager lets go of it.
    for (int attempt = 0; attempt < 200; ++attempt) {
      const UniqueServiceHandle service(
          ::CreateServiceW(manager_->Get(), name, name, SERVICE_ALL_ACCESS,
                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                           commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
      if (service || ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) return;
      ::Sleep(100);
    }
  }

  // Ends the service's process if it runs (a stubborn one never stops) and
  // deletes the service.
  static void Remove(const wchar_t* name) {
    const UniqueServiceHandle service = Open(name);
    if (!service) return;
    SERVICE_STATUS_PROCESS status = {};
    DWORD size = 0;
    if (::QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO,
                               reinterpret_cast<BYTE*>(&status), sizeof(status), &size) &&
        status.dwProcessId != 0) {
      const zrb::UniqueKernelHandle process(
          ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
      if (process) {
        ::TerminateProcess(process.Get(), 0);
        ::WaitForSingleObject(process.Get(), 5000);
      }
    }
    ::DeleteService(service.Get());
  }

  static UniqueServiceHandle* manager_;
};

UniqueServiceHandle* Service::manager_ = nullptr;

TEST_F(Service, StartAndStopReachTheWantedState) {
  ASSERT_TRUE(Open(kName)) << "not registered";
  ASSERT_EQ(static_cast<DWORD>(SERVICE_STOPPED), State(kName));
  // Verbs in any letter case; the service takes a moment in each direction.
  EXPECT_TRUE(Scm(kName, "START"));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), State(kName));
  EXPECT_TRUE(Scm(kName, "start")) << "already running";
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), State(kName));

  EXPECT_TRUE(Scm(kName, "Stop"));
  EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), State(kName));
  EXPECT_TRUE(Scm(kName, "stop")) << "already stopped";
}

TEST_F(Service, MissingServicesAndUnknownVerbs) {
  EXPECT_TRUE(Scm(L"ZrbNoSuchService", "start"));
  EXPECT_TRUE(Scm(L"ZrbNoSuchService", "restart")) << "the service is looked up first";

  const zrb::test::TracedResult run = zrb::test::RunInRunner(
      "return Lua_SCM(" + zrb::test::LuaString(kName) + ", 'restart') and 1 or 2");
  EXPECT_EQ(2u, run.exitCode) << run.Joined();
  ASSERT_EQ(4u, run.lines.size()) << run.Joined();
  EXPECT_EQ(L"vq Unknow Error in fun:Lua_SCM", run.lines[0]);
  EXPECT_EQ(L"vq vq file:zrbsetup/zrbinstaller/zrbscriptengine/host_service.cpp", run.lines[1]);
  EXPECT_EQ(0u, run.lines[2].rfind(L"vq vq line:", 0)) << run.lines[2];
  EXPECT_EQ(0u, run.lines[3].rfind(L"vq vq err:", 0)) << run.lines[3];
  EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), State(kName));
}

TEST_F(Service, WaitingForAStateEndsAtItsLimit) {
  EXPECT_TRUE(Scm(kStubbornName, "start"));
  const UniqueServiceHandle service = Open(kStubbornName);
  ASSERT_TRUE(service);
  SERVICE_STATUS status = {};
  ASSERT_TRUE(::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status));

  // The service stays in STOP_PENDING: the wait gives up after its limit.
  const DWORD start = ::GetTickCount();
  EXPECT_FALSE(WaitForServiceState(service.Get(), SERVICE_STOPPED, 2000));
  const DWORD elapsed = ::GetTickCount() - start;
  EXPECT_GE(elapsed, 1900u);
  EXPECT_LT(elapsed, 4000u);
  EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), State(kStubbornName));
  EXPECT_TRUE(WaitForServiceState(service.Get(), SERVICE_STOP_PENDING, 2000));
}

}  // namespace
