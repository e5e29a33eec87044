// Small helpers for building windows out of standard controls, at any screen density.
//
// Positions and sizes are written as the program's layout gives them, in pixels at 96 dots per
// inch, and scaled to the dots per inch of the window's screen when they are applied.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/colours.h"

namespace marlo {

// The dots per inch of the screen a window is on (of the primary screen where the system cannot
// tell per window).
int WindowDpi(HWND window);

// `pixels` at 96 dots per inch, at `dpi`.
inline int Scale(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// A bold sans-serif font of `points` at `dpi`: "MS Sans Serif" where it can be had at that size
// (it is a bitmap font of a few sizes on many systems), else the system's "Microsoft Sans Serif".
// Lives as long as the program.
HFONT SansSerifBold(double points, int dpi);

// The outer size of a window whose client area is `width` x `height` at 96 dpi, at `dpi`.
SIZE OuterSizeForClient(int width, int height, DWORD style, int dpi);

// The child controls of a window with their places at 96 dpi. Add makes a control in its place
// for the layout's dpi, with its font; Apply puts them all in place again for another dpi.
class ChildLayout {
 public:
  explicit ChildLayout(int dpi = 96) : dpi_(dpi) {}
  void SetDpi(int dpi) { dpi_ = dpi; }
  HWND Add(HWND parent, const wchar_t* window_class, const wchar_t* text, DWORD style, RECT place,
           int id, double points, DWORD ex_style = 0);
  // A control made by Add, made again: `fresh` takes the place of `old` in the layout (the caller
  // puts it on screen and lets `old` go).
  void Replace(HWND old, HWND fresh);
  void Apply(int dpi);

 private:
  int dpi_;
  struct Child {
    HWND hwnd;
    RECT place;  // left, top, width, height at 96 dpi
    double points;
  };
  // A place at 96 dpi (left, top, width, height) at the layout's dpi.
  RECT Scaled(const RECT& place) const;
  void SetFont(const Child& child) const;

  std::vector<Child> children_;
};

// A solid brush of a colour, kept for the life of the program.
HBRUSH SolidBrush(COLORREF colour);

// Whether the system's high-contrast setting is on, and the colours `part` is painted in: read
// once, and again after FollowSystemColours.
bool HighContrast();
Colours PaintColours(Part part);
// Answers a WM_CTLCOLOR... message for a control painted as `part`.
LRESULT ColourControl(HDC dc, Part part);
// After WM_SYSCOLORCHANGE or WM_SETTINGCHANGE (high contrast turned on or off, another scheme):
// the colours are read anew, the window's controls hear of it, and all is painted again.
void FollowSystemColours(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// While it lives, a logoff or shutdown that waits for `window` shows `reason` (where the system
// can: Windows Vista and later).
class ShutdownBlockReason {
 public:
  ShutdownBlockReason(HWND window, const std::string& reason);
  ~ShutdownBlockReason();
  ShutdownBlockReason(const ShutdownBlockReason&) = delete;
  ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;

 private:
  HWND window_;
  bool registered_ = false;
};

// Registers a window class with the arrow cursor, the program's icon and the dialog colour.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure);

// The window procedure of a window object made by CreateObjectWindow: the window takes the object
// at WM_NCCREATE, every message goes to its Handle, and it is deleted with its window.
template <typename Window>
LRESULT CALLBACK RouteToWindow(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* owner = static_cast<std::unique_ptr<Window>*>(
        reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    Window* self = owner->release();
    self->Attach(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    delete self;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return self->Handle(message, wparam, lparam);
}

// Makes the top-level window of `object`, of a class whose procedure is RouteToWindow<Window>.
// From its first message the window owns the object, and deletes it when it goes (also when its
// creation fails after that); an object no window took is freed here. Null when no window was
// made: the object is gone either way.
template <typename Window>
HWND CreateObjectWindow(std::unique_ptr<Window> object, const wchar_t* window_class,
                        const wchar_t* title, DWORD style) {
  return CreateWindowExW(0, window_class, title, style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                         nullptr, GetModuleHandleW(nullptr), &object);
}

// The boxes a window has up (message boxes, the file dialog), each shown from inside one of its
// handlers. A close that comes from outside meanwhile (a management tool, taskkill without /F)
// waits for the last of them: the window is never destroyed under a handler that still runs.
class WindowBoxes {
 public:
  // Runs `show`, which shows a box; after the last box, a close that waited is posted, and so is
  // `then_message` (what came back meanwhile is taken then).
  template <typename Show>
  void While(HWND window, UINT then_message, Show show) {
    ++up_;
    show();
    if (--up_ > 0) return;
    if (close_waits_) PostMessageW(window, WM_CLOSE, 0, 0);
    close_waits_ = false;
    PostMessageW(window, then_message, 0, 0);
  }
  bool Up() const { return up_ > 0; }
  // A close came: true when it waits for the boxes.
  bool PutOffClose() {
    if (up_ > 0) close_waits_ = true;
    return up_ > 0;
  }

 private:
  int up_ = 0;
  bool close_waits_ = false;
};

// A message box owned by `window` while that is on screen. Before (a start-up's message) it is
// task-modal: no window of the program can be used, or closed, behind it. UTF-8 texts.
int ShowBox(HWND window, const std::string& text, const std::string& title, UINT type);

// A task-modal box that says a window (`what`) could not be made, with the system's error number.
void ShowWindowNotCreated(const wchar_t* what);

// Centres a window of a given outer size on the screen it is on.
void CentreOnScreen(HWND window, int width, int height);

// Follows a change of dpi: the window takes the place the system suggests.
void MoveToSuggested(HWND window, LPARAM suggested_rect);

}  // namespace marlo
