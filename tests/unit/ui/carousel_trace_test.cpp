#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/traced_run.h"

namespace zrb::test {
namespace {

// Play, Play again, a frame tick, a fade tick, a foreign tick, Stop, Stop
// again: the second Play and Stop trace nothing. Timer ids are the first two
// of the process.
TEST(CarouselTrace, TracesPlayTicksAndStop) {
  const TracedResult run = RunTraced(L"\"" + TestProgramFolder() + L"ui_trace_probe.exe\"");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode);
  const std::vector<std::wstring> expected = {
      L"vq ZRBUE::CarouselUIObjectImpl::Play",        L"vq Fade:0.13",
      L"vq ZRBUE::CarouselUIObjectImpl::OnTimer 0",   L"vq ZRBUE::CarouselUIObjectImpl::OnTimer 1",
      L"vq ZRBUE::CarouselUIObjectImpl::OnTimer 999", L"vq ZRBUE::CarouselUIObjectImpl::Stop",
  };
  EXPECT_EQ(expected, run.lines) << run.Joined();
}

}  // namespace
}  // namespace zrb::test
