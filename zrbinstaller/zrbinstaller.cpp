// The program's entry point.
#include <windows.h>

#include "zrbinstaller/gdiplus_session.h"
#include "zrbinstaller/run_sequence.h"
#include "zrbinstaller/zrbscriptengine/zrbscriptengine.h"

namespace {

// The process-wide objects exist before the entry runs: the script engine
// with its state and host library, and GDI+.
struct ProcessObjects {
  ProcessObjects() {
    ZRBScriptEngine::Instance();
    zrb::EnsureGdiplusStarted();
  }
} gProcessObjects;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunSetup(instance); }
