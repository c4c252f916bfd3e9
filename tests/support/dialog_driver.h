// Finds a dialog box of another process by its caption, reads its text and
// presses one of its buttons, as a user would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zrb::test {

struct DialogSeen {
  std::wstring caption;
  std::wstring text;  // the longest static text of the box
};

// Waits up to `timeoutMs` for a top-level dialog whose caption is `caption`,
// reads it and presses the button with `buttonId` (IDOK, IDYES, ...).
std::optional<DialogSeen> AnswerDialog(const std::wstring& caption, int buttonId,
                                       DWORD timeoutMs = 30000);

}  // namespace zrb::test
