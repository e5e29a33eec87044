#include "platform/ui_win.h"

#include <map>

namespace marlo {

HFONT SansSerifBold(double points) {
  static std::map<int, HFONT> fonts;
  const int height = -static_cast<int>(points * 96.0 / 72.0 + 0.5);
  HFONT& font = fonts[height];
  if (font == nullptr) {
    font = CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  }
  return font;
}

HWND CreateChild(HWND parent, const char* window_class, const char* text, DWORD style, int left,
                 int top, int width, int height, int id, HFONT font, DWORD ex_style) {
  HWND child = CreateWindowExA(ex_style, window_class, text, WS_CHILD | style, left, top, width,
                               height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (child != nullptr && font != nullptr) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return child;
}

HBRUSH SolidBrush(COLORREF colour) {
  static std::map<COLORREF, HBRUSH> brushes;
  HBRUSH& brush = brushes[colour];
  if (brush == nullptr) brush = CreateSolidBrush(colour);
  return brush;
}

bool RegisterWindowClass(const char* name, WNDPROC procedure) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = name;
  return RegisterClassA(&window_class) != 0;
}

void CentreOnScreen(HWND window, int width, int height) {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace marlo
