#include "payload/entry_paths.h"

#include <windows.h>

namespace zrb::payload {

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// A component Windows would resolve to the parent or trim to nothing.
bool IsDotsAndSpaces(std::wstring_view component) {
  if (component.empty() || component == L".") return false;
  return component.find_first_not_of(L". ") == std::wstring_view::npos;
}

}  // namespace

bool IsPlainRelativeName(std::wstring_view name) {
  if (!name.empty() && IsSeparator(name.front())) return false;
  if (name.find(L':') != std::wstring_view::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (IsDotsAndSpaces(name.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

std::wstring FullPathOf(const std::wstring& path) {
  if (path.empty()) return {};
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);  // the size asked for includes the terminator
  }
}

DestinationGuard::DestinationGuard(const std::wstring& destination)
    : root_(FullPathOf(destination)) {
  if (!root_.empty() && root_.back() != L'\\') root_ += L'\\';
}

bool DestinationGuard::Admits(std::wstring_view name, const std::wstring& entryPath) const {
  if (root_.empty() || !IsPlainRelativeName(name)) return false;
  std::wstring full = FullPathOf(entryPath);
  // The destination itself (an entry named ".") counts as inside.
  if (full.size() + 1 == root_.size()) full += L'\\';
  if (full.size() < root_.size()) return false;
  return ::CompareStringOrdinal(full.data(), static_cast<int>(root_.size()), root_.data(),
                                static_cast<int>(root_.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace zrb::payload
