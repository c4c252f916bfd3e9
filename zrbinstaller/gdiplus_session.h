// GDI+ for the whole process: started during program start-up, shut down at
// exit.
#pragma once

namespace zrb {

// Starts GDI+ once (version 1, background thread and external codecs
// allowed); later calls find it started. Returns whether it is running.
bool EnsureGdiplusStarted();

}  // namespace zrb
