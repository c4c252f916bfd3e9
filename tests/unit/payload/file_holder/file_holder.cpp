// Holds a file open the way another program would, for the payload tests.
//
//   file_holder.exe <path> none|delete <ready event> <release event>
//
// Opens the file without sharing it ("none") or sharing it for deletion and
// renaming only ("delete"), signals the ready event and keeps the file open
// until the release event is signalled (at most two minutes).
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) return 2;
  const DWORD share = std::wcscmp(argv[2], L"delete") == 0 ? FILE_SHARE_DELETE : 0;
  HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
  HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
  if (!ready || !release) return 4;
  ::SetEvent(ready);
  ::WaitForSingleObject(release, 120000);
  ::CloseHandle(file);
  return 0;
}
