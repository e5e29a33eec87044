// The rules of UTF-8, shared by the list reader (telling a list's form) and the Win32 edge
// (putting text into UTF-16). Plain text functions, small enough to be inlined where every caption
// of a menu goes through them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace marlo {

// How many bytes open `bytes` below 0x80 (plain ASCII), looked at eight at a time.
inline std::size_t AsciiRun(std::string_view bytes) {
  std::size_t at = 0;
  for (std::uint64_t word; at + 8 <= bytes.size(); at += 8) {
    std::memcpy(&word, bytes.data() + at, 8);
    if ((word & 0x8080808080808080ull) != 0) break;
  }
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) ++at;
  return at;
}

// True for a byte that goes on a character begun before it.
inline bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The number of bytes of the character that begins at `at` (1 for a byte that is no UTF-8).
inline std::size_t CharacterAt(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && IsContinuation(text[end])) ++end;
  return end - at;
}

// The length of the well-formed UTF-8 character that opens `bytes`: 1 to 4, or 0 where the bytes
// are no such character. The lead byte gives the length, and the range of the byte after it,
// which rules out overlong forms, surrogates and what lies above U+10FFFF.
inline std::size_t Utf8Length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// True when all of `bytes` is well-formed UTF-8.
inline bool IsUtf8(std::string_view bytes) {
  for (std::size_t at = AsciiRun(bytes); at < bytes.size(); at += AsciiRun(bytes.substr(at))) {
    const std::size_t length = Utf8Length(bytes.substr(at));
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace marlo
