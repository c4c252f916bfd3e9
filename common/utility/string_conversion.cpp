#include "common/utility/string_conversion.h"

#include <climits>

namespace zrb {

std::wstring MultiByteToWide(UINT codePage, std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int sourceLength = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), sourceLength, nullptr, 0);
  if (length <= 0) return {};
  std::wstring result(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), sourceLength, result.data(), length);
  return result;
}

std::string WideToMultiByte(UINT codePage, std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int sourceLength = static_cast<int>(text.size());
  const int length =
      ::WideCharToMultiByte(codePage, 0, text.data(), sourceLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string result(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), sourceLength, result.data(), length, nullptr,
                        nullptr);
  return result;
}

std::wstring Utf8OrThreadAnsiToWide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int valid = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                          static_cast<int>(text.size()), nullptr, 0);
  return valid > 0 ? Utf8ToWide(text) : ThreadAnsiToWide(text);
}

}  // namespace zrb
