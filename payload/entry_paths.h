// Where archive entries land: the destination folder joined with the
// entry's name. An archive is untrusted input, so every name is checked to
// stay inside the destination before anything is written.
#pragma once

#include <string>
#include <string_view>

namespace zrb::payload {

// True when `name` (folder levels separated by '/' or '\') is a plain
// relative name: not empty-rooted, without a drive, stream or device colon,
// and without a component that climbs ("..") or that Windows would trim to
// nothing (only dots and spaces, other than ".").
bool IsPlainRelativeName(std::wstring_view name);

// The absolute, normalised form of `path` as Windows resolves it for file
// operations; empty when it has none.
std::wstring FullPathOf(const std::wstring& path);

class DestinationGuard {
 public:
  explicit DestinationGuard(const std::wstring& destination);

  // True when the entry `name`, whose joined path is `entryPath`, lands in
  // the destination folder. A destination without a full path admits
  // nothing.
  bool Admits(std::wstring_view name, const std::wstring& entryPath) const;

 private:
  std::wstring root_;  // the destination's full path ending in '\'
};

}  // namespace zrb::payload
