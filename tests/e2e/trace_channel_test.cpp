#include <gtest/gtest.h>

#include <string>

#include "tests/support/traced_run.h"

namespace {

TEST(TraceChannel, LinesArriveTaggedAndFormatted) {
  // Wine hands debug strings to debuggers in the ANSI code page; the product's
  // users have 936, where the Chinese text below survives.
  ASSERT_EQ(936u, ::GetACP()) << "run the tests with LC_ALL=zh_CN.UTF-8";
  const zrb::test::TracedResult run =
      zrb::test::RunTraced(L"\"" + zrb::test::SetupPath(L"trace_probe.exe") + L"\"");
  ASSERT_TRUE(run.started);
  ASSERT_EQ(11u, run.lines.size()) << run.Joined();
  EXPECT_EQ(L"vq plain line", run.lines[0]);
  EXPECT_EQ(L"vq no line end", run.lines[1]);
  EXPECT_EQ(L"vq number -7, wide 宽, narrow narrow, big 12345678901234", run.lines[2]);
  // A message longer than the line buffer is cut, never overrun.
  EXPECT_EQ(L"vq " + std::wstring(1020, L'L'), run.lines[3]);

  const std::wstring file = L"zrbsetup/tests/e2e/trace_probe/trace_probe.cpp";
  EXPECT_EQ(L"vq Joined failed.vq file:" + file, run.lines[4]);
  EXPECT_EQ(0u, run.lines[5].rfind(L"vq Joined failed.vq line:", 0));
  EXPECT_EQ(L"vq Joined failed.vq err:2", run.lines[6]);
  EXPECT_EQ(L"vq Separate message", run.lines[7]);
  EXPECT_EQ(L"vq vq file:" + file, run.lines[8]);
  EXPECT_EQ(L"vq vq err:5", run.lines[10]);
  // The line number is the emitting statement's.
  EXPECT_EQ(std::stoi(run.lines[5].substr(run.lines[5].rfind(L':') + 1)) + 3,
            std::stoi(run.lines[9].substr(run.lines[9].rfind(L':') + 1)));
}

}  // namespace

namespace {

TEST(EngineShutdown, ExitWhileAHookRunsOnAnotherThread) {
  for (int run = 0; run < 5; ++run) {
    const zrb::test::TracedResult result =
        zrb::test::RunTraced(L"\"" + zrb::test::SetupPath(L"exit_probe.exe") + L"\"", 30000);
    ASSERT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(7u, result.exitCode) << "run " << run;
  }
}

}  // namespace
