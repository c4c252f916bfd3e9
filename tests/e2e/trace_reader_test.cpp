#include <gtest/gtest.h>

#include <string>

#include "common/utility/string_conversion.h"
#include "common/utility/unique_handle.h"
#include "tests/support/traced_run.h"

namespace {

struct CapturedOutput {
  DWORD exitCode = 0;
  std::string stdoutText;
};

// Runs a console program with its standard output on a pipe.
CapturedOutput RunCapturingOutput(std::wstring commandLine) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  zrb::UniqueKernelHandle readEnd, writeEnd;
  EXPECT_TRUE(::CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0));
  ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {sizeof startup};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  PROCESS_INFORMATION info = {};
  CapturedOutput output;
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info)) {
    ADD_FAILURE() << "cannot start the trace reader";
    return output;
  }
  zrb::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  writeEnd.Reset();
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    output.stdoutText.append(buffer, read);
  }
  ::WaitForSingleObject(process.Get(), 60000);
  ::GetExitCodeProcess(process.Get(), &output.exitCode);
  return output;
}

TEST(TraceReader, PrintsEachDebugStringAsAUtf8LineAndPassesTheExitCode) {
  ASSERT_EQ(936u, ::GetACP());
  const std::wstring reader = zrb::test::TestProgramFolder() + L"..\\..\\tools\\zrbtrace.exe";
  const CapturedOutput output =
      RunCapturingOutput(L"\"" + reader + L"\" \"" + zrb::test::SetupPath(L"trace_probe.exe") + L"\"");
  EXPECT_EQ(0u, output.exitCode);
  EXPECT_EQ(0u, output.stdoutText.rfind("vq plain line\nvq no line end\nvq number -7, wide ", 0))
      << output.stdoutText;
  EXPECT_NE(std::string::npos, output.stdoutText.find(zrb::WideToUtf8(L"wide 宽, narrow narrow")));

  const CapturedOutput exited =
      RunCapturingOutput(L"\"" + reader + L"\" \"" + zrb::test::SetupPath(L"exit_probe.exe") + L"\"");
  EXPECT_EQ(7u, exited.exitCode);
}

}  // namespace
