#include "platform/text_win.h"

#include <windows.h>

namespace marlo {

// A UTF-16 text is at most as many units as its UTF-8 has bytes, and its UTF-8 at most three
// bytes a unit: each conversion is one call into a buffer of that size.
std::wstring Wide(std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  if (utf8.empty()) return wide;
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                           static_cast<int>(utf8.size()),
                                                           wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  std::string utf8(wide.size() * 3, '\0');
  if (wide.empty()) return utf8;
  utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(),
                                                           static_cast<int>(wide.size()),
                                                           utf8.data(), static_cast<int>(utf8.size()),
                                                           nullptr, nullptr)));
  return utf8;
}

}  // namespace marlo
