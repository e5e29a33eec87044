// Small helpers for building windows out of standard controls.
#pragma once

#include <windows.h>

namespace marlo {

// "MS Sans Serif" at a point size at 96 dots per inch, bold. Lives as long as the program.
HFONT SansSerifBold(double points);

// A child control at a position in the parent's client area, with its font set.
HWND CreateChild(HWND parent, const char* window_class, const char* text, DWORD style, int left,
                 int top, int width, int height, int id, HFONT font, DWORD ex_style = 0);

// A solid brush of a colour, kept for the life of the program.
HBRUSH SolidBrush(COLORREF colour);

// Registers a window class with the arrow cursor, the application icon and the dialog colour.
bool RegisterWindowClass(const char* name, WNDPROC procedure);

// The window procedure of a window object: the object handed to CreateWindowEx is picked up at
// WM_NCCREATE, every message goes to its Handle, and it is deleted with its window.
template <typename Window>
LRESULT CALLBACK RouteToWindow(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->Attach(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    delete self;
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  return self->Handle(message, wparam, lparam);
}

// Centres a window of a given outer size on the primary screen.
void CentreOnScreen(HWND window, int width, int height);

}  // namespace marlo
