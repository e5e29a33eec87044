// The limit the menu's start-up is measured against: a bare window that reads app.txt beside it
// the simplest way (one read, lines split with memchr, the caption up to "=") and fills a list
// box of the menu's size with the captions. Nothing else: no log, no fonts, no pictures.
//   bare_window.exe         plain fill: one LB_ADDSTRING after the other
//   bare_window.exe fast    redraw off and the list's storage reserved first
//   bare_window.exe threaded  the fast fill, with app.txt read on a thread of its own while the
//                           window is made and shown; the thread posts the bytes to the window,
//                           whose thread fills the list (the least a menu that never waits on the
//                           server can do)
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// The reading thread's message to the window: the list's bytes are in `reading.bytes`.
constexpr UINT kListRead = WM_APP + 1;

struct Reading {
  HANDLE window_made = nullptr;  // set once `window` may be posted to
  HWND window = nullptr;
  HWND list = nullptr;
  std::string bytes;
};
Reading reading;

void Fill(HWND list, const std::string& bytes, bool fast);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == kListRead) {
    Fill(reading.list, reading.bytes, true);
    SendMessageA(reading.list, LB_SETCURSEL, 0, 0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

std::string ReadBeside(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::strcpy(std::strrchr(path, '\\') + 1, name);
  std::string bytes;
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  bytes.resize(got);
  CloseHandle(file);
  return bytes;
}

DWORD WINAPI ReadList(void*) {
  reading.bytes = ReadBeside("app.txt");
  WaitForSingleObject(reading.window_made, INFINITE);
  PostMessageA(reading.window, kListRead, 0, 0);
  return 0;
}

void Fill(HWND list, const std::string& bytes, bool fast) {
  if (fast) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    std::size_t lines = 0;
    for (const char c : bytes) lines += c == '\r';
    SendMessageA(list, LB_INITSTORAGE, lines + 1, bytes.size());
  }
  std::string caption;
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  while (at != end) {
    const char* cr = static_cast<const char*>(std::memchr(at, '\r', end - at));
    const char* line_end = cr != nullptr ? cr : end;
    const char* equals = static_cast<const char*>(std::memchr(at, '=', line_end - at));
    caption.assign(at, equals != nullptr ? equals : line_end);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    if (cr == nullptr) break;
    at = cr + 1;
    if (at != end && *at == '\n') ++at;
  }
  if (fast) {
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  const bool threaded = std::strstr(command_line, "threaded") != nullptr;
  const bool fast = std::strstr(command_line, "fast") != nullptr;
  HANDLE reader = nullptr;
  if (threaded) {
    reading.window_made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    reader = CreateThread(nullptr, 0, ReadList, nullptr, 0, nullptr);
  }

  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = "BareWindow";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(
      0, "BareWindow", "Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
      CW_USEDEFAULT, CW_USEDEFAULT, 680, 599, nullptr, nullptr, instance, nullptr);
  HWND list =
      CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 24,
                      48, 265, 242, window, reinterpret_cast<HMENU>(107), instance, nullptr);

  if (threaded) {
    reading.window = window;
    reading.list = list;
    SetEvent(reading.window_made);
  } else {
    Fill(list, ReadBeside("app.txt"), fast);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetFocus(list);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (reader != nullptr) {
    WaitForSingleObject(reader, INFINITE);
    CloseHandle(reader);
  }
  return 0;
}
