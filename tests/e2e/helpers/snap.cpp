// Pictures of the menu's windows for people (the README) and for tests that look at colours:
//   snap.exe capture <window class> <file.bmp>   the window with its frame, as the screen shows it
//   snap.exe click <window class> <control id>   presses a button of the window
// Each waits up to fifteen seconds for a visible window of that class.
#include <windows.h>

#include "screen_copy.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND WaitForWindow(const char* window_class) {
  for (int i = 0; i < 300; ++i) {
    HWND window = FindWindowA(window_class, nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
    Sleep(50);
  }
  return nullptr;
}

bool Capture(HWND window, const char* file_name) {
  SetCursorPos(0, 0);  // no pointer, and no tooltip, in the picture
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(700);  // let the window and its frame finish drawing
  RECT rect;
  GetWindowRect(window, &rect);
  const e2e::ScreenCopy copy(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  if (copy.empty()) return false;
  // A 24-bit picture, its bottom row first, each row padded to four bytes.
  const DWORD stride = ((copy.width() * 3 + 3) / 4) * 4;
  std::vector<unsigned char> bits(stride * copy.height());
  for (int y = 0; y < copy.height(); ++y) {
    unsigned char* row = &bits[(copy.height() - 1 - y) * stride];
    for (int x = 0; x < copy.width(); ++x) {
      const DWORD pixel = copy.At(x, y);
      row[3 * x] = static_cast<unsigned char>(pixel);
      row[3 * x + 1] = static_cast<unsigned char>(pixel >> 8);
      row[3 * x + 2] = static_cast<unsigned char>(pixel >> 16);
    }
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = copy.width();
  info.biHeight = copy.height();
  info.biPlanes = 1;
  info.biBitCount = 24;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(bits.size());
  bool written = false;
  if (FILE* file = std::fopen(file_name, "wb")) {
    written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
              std::fwrite(&info, sizeof info, 1, file) == 1 &&
              std::fwrite(bits.data(), bits.size(), 1, file) == 1;
    std::fclose(file);
  }
  return written;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 4) return 2;
  const std::string action = __argv[1];
  HWND window = WaitForWindow(__argv[2]);
  if (window == nullptr) return 1;
  if (action == "capture") return Capture(window, __argv[3]) ? 0 : 1;
  if (action == "click") {
    HWND button = GetDlgItem(window, std::atoi(__argv[3]));
    if (button == nullptr) return 1;
    PostMessageA(button, BM_CLICK, 0, 0);
    return 0;
  }
  return 2;
}
