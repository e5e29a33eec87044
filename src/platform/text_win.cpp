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

namespace {

// Chunks of texts of about this many bytes; a list of a few chunks is decoded on this thread.
constexpr std::size_t kChunkBytes = 1 << 18;
constexpr std::size_t kChunksForAThread = 8;

}  // namespace

WideTexts::WideTexts(const std::vector<std::string_view>& texts)
    : texts_(texts), offsets_(texts.size()) {
  std::size_t largest = 0, chunk_bytes = 0;
  chunk_starts_.push_back(0);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (chunk_bytes > 0 && chunk_bytes + texts[i].size() + 1 > kChunkBytes) {
      chunk_starts_.push_back(i);
      chunk_bytes = 0;
    }
    chunk_bytes += texts[i].size() + 1;
    largest = std::max(largest, chunk_bytes);
  }
  chunk_starts_.push_back(texts.size());
  // A UTF-16 text has at most as many units as its UTF-8 has bytes.
  for (auto& buffer : buffers_) buffer.reset(new wchar_t[largest + 1]);
  // Without a second thread each chunk is decoded when it is asked for.
  if (chunk_starts_.size() > kChunksForAThread + 1) {
    worker_ = CreateThread(nullptr, 0, &DecodeAhead, this, 0, nullptr);
  }
}

WideTexts::~WideTexts() {
  if (worker_ == nullptr) return;
  stop_.store(true, std::memory_order_release);
  WaitForSingleObject(worker_, INFINITE);
  CloseHandle(worker_);
}

void WideTexts::DecodeChunk(std::size_t chunk) {
  wchar_t* const buffer = buffers_[chunk % 2].get();
  std::size_t at = 0;
  for (std::size_t i = chunk_starts_[chunk]; i < chunk_starts_[chunk + 1]; ++i) {
    offsets_[i] = at;
    at += WideInto(texts_[i], buffer + at);
    buffer[at++] = L'\0';
  }
  decoded_.store(chunk + 1, std::memory_order_release);
}

// A chunk's buffer is free once the chunk before it is being used.
DWORD WINAPI WideTexts::DecodeAhead(void* self) {
  auto& texts = *static_cast<WideTexts*>(self);
  for (std::size_t chunk = 0; chunk + 1 < texts.chunk_starts_.size(); ++chunk) {
    while (chunk > texts.current_.load(std::memory_order_acquire) + 1) {
      if (texts.stop_.load(std::memory_order_acquire)) return 0;
      SwitchToThread();
    }
    texts.DecodeChunk(chunk);
  }
  return 0;
}

const wchar_t* WideTexts::Next(std::size_t i) {
  std::size_t chunk = current_.load(std::memory_order_relaxed);
  while (i >= chunk_starts_[chunk + 1]) current_.store(++chunk, std::memory_order_release);
  if (worker_ == nullptr && decoded_.load(std::memory_order_relaxed) <= chunk) DecodeChunk(chunk);
  while (decoded_.load(std::memory_order_acquire) <= chunk) SwitchToThread();
  return buffers_[chunk % 2].get() + offsets_[i];
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
