// Pictures of the menu's windows for people (the README) and for tests that look at colours:
//   snap.exe capture <window class> <file.bmp>   the window with its frame, as the screen shows it
//   snap.exe click <window class> <control id>   presses a button of the window
// Each waits up to fifteen seconds for a visible window of that class.
#include <windows.h>

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
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  const DWORD size = stride * height;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + size;
  bool written = false;
  if (FILE* file = std::fopen(file_name, "wb")) {
    written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
              std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
              std::fwrite(bits, size, 1, file) == 1;
    std::fclose(file);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
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
