#include "platform/ui_win.h"

#include <cmath>
#include <map>

#include "platform/resource_ids.h"
#include "platform/text_win.h"

namespace marlo {
namespace {

// Functions of newer Windows versions, looked up so that the menu still starts on older ones.
template <typename Function>
Function FromUser32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

HFONT BoldFont(const wchar_t* face, int height) {
  return CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

// True when `face` is had at `height` pixels (the em height, as a negative font height asks).
bool FaceFits(const wchar_t* face, int height) {
  HFONT font = BoldFont(face, height);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t got[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, got);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  const bool scalable = (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0;
  const int em = metrics.tmHeight - metrics.tmInternalLeading;
  return lstrcmpiW(got, face) == 0 && (scalable || std::abs(em + height) <= 1);
}

// The high-contrast setting and the system's colours as last read.
struct ColourSetting {
  bool read = false;
  bool high_contrast = false;
  SystemColours system{};
};

ColourSetting& CurrentColours() {
  static ColourSetting setting;
  if (setting.read) return setting;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  setting.high_contrast =
      SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
      (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  setting.system = {{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},
                    {GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)},
                    {GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)},
                    GetSysColor(COLOR_GRAYTEXT)};
  setting.read = true;
  return setting;
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto get_dpi = FromUser32<GetDpi>("GetDpiForWindow");
  const int dpi = get_dpi != nullptr && window != nullptr ? static_cast<int>(get_dpi(window)) : 0;
  return dpi > 0 ? dpi : ScreenDpi();
}

HFONT SansSerifBold(double points, int dpi) {
  static std::map<int, HFONT> fonts;  // by height in pixels
  const int height = -static_cast<int>(points * dpi / 72.0 + 0.5);
  HFONT& font = fonts[height];
  if (font == nullptr) {
    font = BoldFont(FaceFits(L"MS Sans Serif", height) ? L"MS Sans Serif" : L"Microsoft Sans Serif",
                    height);
  }
  return font;
}

SIZE OuterSizeForClient(int width, int height, DWORD style, int dpi) {
  using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = FromUser32<Adjust>("AdjustWindowRectExForDpi");
  RECT outer{0, 0, Scale(width, dpi), Scale(height, dpi)};
  if (adjust == nullptr || !adjust(&outer, style, FALSE, 0, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&outer, style, FALSE, 0);
  }
  return {outer.right - outer.left, outer.bottom - outer.top};
}

HWND ChildLayout::Add(HWND parent, const wchar_t* window_class, const wchar_t* text, DWORD style,
                      RECT place, int id, double points, DWORD ex_style) {
  const RECT at = Scaled(place);
  HWND child = CreateWindowExW(ex_style, window_class, text, WS_CHILD | WS_CLIPSIBLINGS | style,
                               at.left, at.top, at.right, at.bottom, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  if (child == nullptr) return nullptr;
  children_.push_back({child, place, points});
  SetFont(children_.back());
  return child;
}

void ChildLayout::Replace(HWND old, HWND fresh) {
  for (Child& child : children_) {
    if (child.hwnd == old) child.hwnd = fresh;
  }
}

void ChildLayout::Apply(int dpi) {
  dpi_ = dpi;
  for (const Child& child : children_) {
    SetFont(child);
    const RECT at = Scaled(child.place);
    SetWindowPos(child.hwnd, nullptr, at.left, at.top, at.right, at.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

RECT ChildLayout::Scaled(const RECT& place) const {
  return {Scale(place.left, dpi_), Scale(place.top, dpi_), Scale(place.right, dpi_),
          Scale(place.bottom, dpi_)};
}

void ChildLayout::SetFont(const Child& child) const {
  if (child.points <= 0) return;
  SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(SansSerifBold(child.points, dpi_)),
               FALSE);
}

HBRUSH SolidBrush(COLORREF colour) {
  static std::map<COLORREF, HBRUSH> brushes;
  HBRUSH& brush = brushes[colour];
  if (brush == nullptr) brush = CreateSolidBrush(colour);
  return brush;
}

bool HighContrast() { return CurrentColours().high_contrast; }

Colours PaintColours(Part part) {
  const ColourSetting& setting = CurrentColours();
  return ColoursOf(part, setting.high_contrast, setting.system);
}

LRESULT ColourControl(HDC dc, Part part) {
  const Colours colours = PaintColours(part);
  SetTextColor(dc, colours.text);
  SetBkColor(dc, colours.ground);
  return reinterpret_cast<LRESULT>(SolidBrush(colours.ground));
}

void FollowSystemColours(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CurrentColours().read = false;
  // Common controls (the list view) take their colours anew only when told.
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, message, wparam, lparam);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

ShutdownBlockReason::ShutdownBlockReason(HWND window, const std::string& reason) : window_(window) {
  using Create = BOOL(WINAPI*)(HWND, const wchar_t*);
  static const auto create = FromUser32<Create>("ShutdownBlockReasonCreate");
  registered_ = create != nullptr && create(window_, Wide(reason).c_str());
}

ShutdownBlockReason::~ShutdownBlockReason() {
  using Destroy = BOOL(WINAPI*)(HWND);
  static const auto destroy = FromUser32<Destroy>("ShutdownBlockReasonDestroy");
  if (registered_ && destroy != nullptr) destroy(window_);
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hIcon = LoadIconW(window_class.hInstance, MAKEINTRESOURCEW(resource_ids::kIcon));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(window_class.hInstance, MAKEINTRESOURCEW(resource_ids::kIcon), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = name;
  return RegisterClassExW(&window_class) != 0;
}

int ShowBox(HWND window, const std::string& text, const std::string& title, UINT type) {
  const bool shown = window != nullptr && IsWindowVisible(window);
  return MessageBoxW(shown ? window : nullptr, Wide(text).c_str(), Wide(title).c_str(),
                     shown ? type : type | MB_TASKMODAL);
}

void ShowWindowNotCreated(const wchar_t* what) {
  const DWORD error = GetLastError();
  wchar_t text[200];
  wsprintfW(text, L"%s could not be opened (system error %lu).", what, error);
  MessageBoxW(nullptr, text, L"RMX", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

void CentreOnScreen(HWND window, int width, int height) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    work = monitor.rcMonitor;
  }
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;
  SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveToSuggested(HWND window, LPARAM suggested_rect) {
  const RECT* suggested = reinterpret_cast<const RECT*>(suggested_rect);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace marlo
