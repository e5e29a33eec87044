// The program's text is UTF-8; Windows takes and gives UTF-16 through its wide (W) calls. The
// two meet here, at the edge of every Win32 file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace marlo {

// UTF-8 as UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
// The same into `out`, which has room for as many units as `utf8` has bytes; the units written.
std::size_t WideInto(std::string_view utf8, wchar_t* out);
// UTF-16 as UTF-8.
std::string Utf8(std::wstring_view wide);

}  // namespace marlo
