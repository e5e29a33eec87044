// A copy of what the screen shows in a rectangle: for tests that look at colours, and for the
// pictures of the README.
#pragma once

#include <windows.h>

namespace e2e {

// The pixels of the screen rectangle at (left, top), width x height, as 0x00RRGGBB, the top row
// first; none when the rectangle is empty.
class ScreenCopy {
 public:
  ScreenCopy(int left, int top, int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    screen_ = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    BitBlt(dc_, 0, 0, width, height, screen_, left, top, SRCCOPY);
    GdiFlush();
    pixels_ = static_cast<const DWORD*>(bits);
  }
  ~ScreenCopy() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    ReleaseDC(nullptr, screen_);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel at column x, row y.
  DWORD At(int x, int y) const { return pixels_[y * width_ + x] & 0xFFFFFF; }
  bool empty() const { return pixels_ == nullptr; }

 private:
  int width_, height_;
  HDC screen_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  const DWORD* pixels_ = nullptr;
};

}  // namespace e2e
