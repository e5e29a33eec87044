// The program's text is UTF-8; Windows takes and gives UTF-16 through its wide (W) calls. The
// two meet here, at the edge of every Win32 file.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// UTF-8 as UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
// The same into `out`, which has room for as many units as `utf8` has bytes; the units written.
std::size_t WideInto(std::string_view utf8, wchar_t* out);
// UTF-16 as UTF-8.
std::string Utf8(std::wstring_view wide);

// Many texts in UTF-16, one after the other, as a list box is filled with them. A long list is
// decoded on a second thread a chunk ahead of the one being used, in two buffers of a fixed size,
// so that filling the list is the only wait.
class WideTexts {
 public:
  explicit WideTexts(const std::vector<std::string_view>& texts);
  ~WideTexts();
  WideTexts(const WideTexts&) = delete;
  WideTexts& operator=(const WideTexts&) = delete;

  // Text `i`, NUL-terminated, valid until a text of the next chunk is asked for. Asked for in
  // order, from 0.
  const wchar_t* Next(std::size_t i);

 private:
  void DecodeChunk(std::size_t chunk);
  static DWORD WINAPI DecodeAhead(void* self);

  const std::vector<std::string_view>& texts_;
  std::vector<std::size_t> chunk_starts_;  // the first text of each chunk, and the end
  std::vector<std::size_t> offsets_;       // where each text stands in its chunk's buffer
  std::unique_ptr<wchar_t[]> buffers_[2];  // chunk c is decoded into buffer c % 2
  std::atomic<std::size_t> current_{0};    // the chunk being used
  std::atomic<std::size_t> decoded_{0};    // chunks decoded
  std::atomic<bool> stop_{false};
  HANDLE worker_ = nullptr;  // the second thread, where one was made
};

}  // namespace marlo
