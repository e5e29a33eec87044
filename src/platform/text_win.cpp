#include "platform/text_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/utf8.h"

namespace marlo {

// Plain ASCII goes eight bytes at a time; a character beyond it is decoded here rather than by
// MultiByteToWideChar, which under Wine takes several times as long, for every caption of the
// menu at every start.
std::size_t WideInto(std::string_view utf8, wchar_t* out) {
  wchar_t* written = out;
  for (std::size_t at = 0; at < utf8.size();) {
    if (static_cast<unsigned char>(utf8[at]) < 0x80) {
      for (const std::size_t run_end = at + AsciiRun(utf8.substr(at)); at < run_end; ++at) {
        *written++ = static_cast<wchar_t>(utf8[at]);
      }
      continue;
    }
    const std::size_t length = Utf8Length(utf8.substr(at));
    if (length == 0) {
      *written++ = 0xFFFD;  // a byte that is no UTF-8
      ++at;
      continue;
    }
    // The lead byte's bits below its length mark, then six bits from each byte after it.
    unsigned value = static_cast<unsigned char>(utf8[at]) & (0xFFu >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
      value = (value << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3Fu);
    }
    at += length;
    if (value < 0x10000) {
      *written++ = static_cast<wchar_t>(value);
    } else {
      *written++ = static_cast<wchar_t>(0xD800 | ((value - 0x10000) >> 10));
      *written++ = static_cast<wchar_t>(0xDC00 | ((value - 0x10000) & 0x3FF));
    }
  }
  return static_cast<std::size_t>(written - out);
}

std::wstring Wide(std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(WideInto(utf8, wide.data()));
  return wide;
}

// A UTF-8 text is at most three bytes a UTF-16 unit.
std::string Utf8(std::wstring_view wide) {
  std::string utf8(wide.size() * 3, '\0');
  if (wide.empty()) return utf8;
  utf8.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

}  // namespace marlo
