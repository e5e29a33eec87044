#include "harness.h"

#include "platform/text_win.h"
#include "screen_copy.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace e2e {

using marlo::Utf8;
using marlo::Wide;

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string BinFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string text = Utf8({path, length});
  return text.substr(0, text.find_last_of('\\'));
}

namespace {

void RemoveTree(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(wide.c_str());
    return;
  }
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((wide + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = Utf8(data.cFileName);
      if (name != "." && name != "..") RemoveTree(path + "\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(wide.c_str());
}

void CreateFolders(const std::string& folder) {
  for (std::size_t at = folder.find('\\', 3);; at = folder.find('\\', at + 1)) {
    CreateDirectoryW(Wide(folder.substr(0, at)).c_str(), nullptr);
    if (at == std::string::npos) break;
  }
}

}  // namespace

void ResetFolder(const std::string& folder) {
  RemoveTree(folder);
  CreateFolders(folder);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  CreateFolders(path.substr(0, path.find_last_of('\\')));
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::optional<std::string> ReadBytes(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  const auto bytes = ReadBytes(path);
  if (!bytes) return lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes->find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes->substr(start, end - start));
  }
  if (start < bytes->size()) lines.push_back(bytes->substr(start));
  return lines;
}

std::vector<std::string> WaitForLines(const std::string& path, std::size_t count) {
  std::vector<std::string> lines;
  WaitUntil([&] { return (lines = ReadLines(path)).size() >= count; }, std::chrono::seconds(5));
  return lines;
}

void CopyProgram(const std::string& name, const std::string& target) {
  CreateFolders(target.substr(0, target.find_last_of('\\')));
  CopyFileW(Wide(BinFolder() + "\\" + name).c_str(), Wide(target).c_str(), FALSE);
}

namespace {

// Whether anything can be written to a file or into a folder.
bool Writable(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::wstring probe = Wide(folder ? path + "\\writable.probe" : path);
  HANDLE file = CreateFileW(probe.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, folder ? CREATE_NEW : OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  if (folder) DeleteFileW(probe.c_str());
  return true;
}

}  // namespace

// Wine starts a Linux program given by its Linux path, but hands back no process to wait for;
// so the change is waited for instead.
bool SetImmutable(const std::string& path, bool immutable) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  static const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unix_name == nullptr) return false;
  char* name = unix_name(Wide(path).c_str());
  if (name == nullptr) return false;
  Process chattr(std::string("/usr/bin/chattr ") + (immutable ? "+i" : "-i") + " \"" + name + "\"");
  HeapFree(GetProcessHeap(), 0, name);
  return WaitUntil([&] { return Writable(path) != immutable; }, std::chrono::seconds(10));
}

namespace {

long long DayNumber(int year, int month, int day) {
  static const int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  long long days = (year - 2000) * 365LL + (year - 2000 + 3) / 4 + kDaysBefore[month - 1] + day;
  if (month > 2 && year % 4 == 0) ++days;
  return days;
}

}  // namespace

long long LocalSeconds() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DayNumber(now.wYear, now.wMonth, now.wDay) * 86400 + now.wHour * 3600 + now.wMinute * 60 +
         now.wSecond;
}

std::optional<long long> ParseStamp(const std::string& stamp) {
  int day, month, year, hour, minute, second;
  char tail;
  if (stamp.size() != 19 || stamp[2] != '/' || stamp[5] != '/' || stamp[10] != ' ' ||
      stamp[13] != ':' || stamp[16] != ':' ||
      std::sscanf(stamp.c_str(), "%2d/%2d/%4d %2d:%2d:%2d%c", &day, &month, &year, &hour, &minute,
                  &second, &tail) != 6) {
    return std::nullopt;
  }
  return DayNumber(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

Process::Process(const std::string& exe, const std::optional<std::string>& logonserver) {
  SetEnvironmentVariableW(L"LOGONSERVER", logonserver ? Wide(*logonserver).c_str() : nullptr);
  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  std::wstring command_line = Wide("\"" + exe + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(Wide(exe).c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      Wide(folder).c_str(), &startup, &info_)) {
    info_ = {};
  }
}

Process::Process(const std::string& command_line) {
  std::wstring line = Wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info_)) {
    info_ = {};
  }
}

Process::~Process() {
  if (info_.hProcess == nullptr) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

// The current folder lives in the process parameters that the process environment block points
// to (offsets of 64-bit Windows, which Wine keeps).
std::string Process::CurrentFolder() {
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  struct {
    void* reserved1;
    char* peb;
    void* reserved2[4];
  } basic{};
  if (query == nullptr || query(info_.hProcess, 0, &basic, sizeof basic, nullptr) != 0) return {};
  char* parameters = nullptr;
  if (!ReadProcessMemory(info_.hProcess, basic.peb + 0x20, &parameters, sizeof parameters, nullptr))
    return {};
  struct {
    USHORT length;
    USHORT maximum;
    wchar_t* buffer;
  } dos_path{};
  if (!ReadProcessMemory(info_.hProcess, parameters + 0x38, &dos_path, sizeof dos_path, nullptr))
    return {};
  std::wstring wide(dos_path.length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(info_.hProcess, dos_path.buffer, wide.data(), dos_path.length, nullptr))
    return {};
  return Utf8(wide);
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) {
  return info_.hProcess != nullptr &&
         WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool Process::Running() {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {

struct WindowQuery {
  DWORD process;
  const std::string* window_class;
  const std::string* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<WindowQuery*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != query->process || !IsWindowVisible(window)) return TRUE;
  char name[256];
  GetClassNameA(window, name, sizeof name);
  if (*query->window_class != name) return TRUE;
  if (!query->title->empty() && WindowText(window) != *query->title) return TRUE;
  query->found = window;
  return FALSE;
}

}  // namespace

HWND Process::FindWindowOf(const std::string& window_class, const std::string& title) {
  WindowQuery query{info_.dwProcessId, &window_class, &title, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

HWND Process::WaitForWindow(const std::string& window_class, const std::string& title) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOf(window_class, title)) != nullptr; });
  return found;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void PressOk(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

void ClickBoxButton(HWND box, int id) { ClickControl(GetDlgItem(box, id)); }

// GetWindowText of another process's control gives its creation text, not what an edit holds
// now, so the text is asked for with WM_GETTEXT. Texts come back as UTF-8.
std::string WindowText(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring wide(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
  return Utf8(wide.c_str());
}

std::string ListBoxItem(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
  return Utf8(wide.c_str());
}

std::vector<std::string> ListBoxItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) items.push_back(ListBoxItem(list, static_cast<int>(i)));
  return items;
}

int ListBoxSelection(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

namespace {

bool PointerAt(POINT point) {
  POINT now;
  return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}

// Moves the pointer to `point`; the input that did it, for button events at the same place.
// Every button event carries the position too: under Wine's desktop a button event without one
// is placed wherever the X pointer last reported itself, which can lag behind.
INPUT MoveTo(POINT point) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT at{};
  at.type = INPUT_MOUSE;
  at.mi.dx = (point.x * 65535 + width / 2) / (width - 1);
  at.mi.dy = (point.y * 65535 + height / 2) / (height - 1);
  at.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &at, sizeof at);
  WaitUntil([&] { return PointerAt(point); }, std::chrono::seconds(2));
  return at;
}

// Moves the pointer to `point` and presses the left button `clicks` times, as a quick hand does.
void ClickAt(POINT point, int clicks) {
  const INPUT at = MoveTo(point);
  Sleep(100);
  std::vector<INPUT> buttons(2 * clicks, at);
  for (int i = 0; i < clicks; ++i) {
    buttons[2 * i].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    buttons[2 * i + 1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  }
  SendInput(static_cast<UINT>(buttons.size()), buttons.data(), sizeof(INPUT));
  Sleep(150);
}

}  // namespace

namespace {

POINT ListItemPoint(HWND list, int index) {
  const LRESULT height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
  const LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
  POINT point{20, static_cast<LONG>((index - top) * height + height / 2)};
  ClientToScreen(list, &point);
  return point;
}

}  // namespace

// Under Wine's desktop the first click on a window that has just been restored or activated is
// now and then lost; a person clicks again, and so does this.
void SelectListItem(HWND list, int index) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    Activate(GetAncestor(list, GA_ROOT));
    ClickAt(ListItemPoint(list, index), 1);
    if (WaitUntil([&] { return ListBoxSelection(list) == index; }, std::chrono::seconds(1))) return;
  }
}

void DoubleClickListItem(HWND list, int index) {
  SelectListItem(list, index);
  ClickAt(ListItemPoint(list, index), 2);
}

namespace {

// Memory in another process, for list view messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
    if (process_ != nullptr) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  char* address() const { return static_cast<char*>(address_); }
  void Write(std::size_t offset, const void* data, std::size_t size) {
    WriteProcessMemory(process_, address() + offset, data, size, nullptr);
  }
  void Read(std::size_t offset, void* data, std::size_t size) {
    ReadProcessMemory(process_, address() + offset, data, size, nullptr);
  }

 private:
  std::size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

std::string ListViewText(HWND list_view, RemoteBuffer& buffer, int row, int column) {
  constexpr std::size_t kTextOffset = 256;
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(buffer.address() + kTextOffset);
  item.cchTextMax = 1024;
  buffer.Write(0, &item, sizeof item);
  SendMessageW(list_view, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buffer.address()));
  wchar_t text[1024] = {};
  buffer.Read(kTextOffset, text, sizeof text - sizeof(wchar_t));
  return Utf8(text);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ListViewRows(HWND list_view) {
  std::vector<std::pair<std::string, std::string>> rows;
  RemoteBuffer buffer(list_view, 4096);
  if (buffer.address() == nullptr) return rows;
  const LRESULT count = SendMessageA(list_view, LVM_GETITEMCOUNT, 0, 0);
  for (int row = 0; row < count; ++row) {
    rows.emplace_back(ListViewText(list_view, buffer, row, 0),
                      ListViewText(list_view, buffer, row, 1));
  }
  return rows;
}

RECT ListViewRowRect(HWND list_view, int row) {
  RemoteBuffer buffer(list_view, sizeof(RECT));
  RECT rect{LVIR_BOUNDS, 0, 0, 0};
  buffer.Write(0, &rect, sizeof rect);
  SendMessageA(list_view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buffer.address()));
  buffer.Read(0, &rect, sizeof rect);
  return rect;
}

std::vector<std::string> ListViewColumn(HWND list_view, int column) {
  std::vector<std::string> cells;
  RemoteBuffer buffer(list_view, 4096);
  const LRESULT count = buffer.address() ? SendMessageA(list_view, LVM_GETITEMCOUNT, 0, 0) : 0;
  for (int row = 0; row < count; ++row)
    cells.push_back(ListViewText(list_view, buffer, row, column));
  return cells;
}

// Past the system's drag distance first, and on only once the window under `from` has taken the
// mouse, as a hand waits to see the row follow: moves sent before that may reach the window as one
// (Wine keeps only the last of the moves waiting), outside it, and start no drag.
bool DragPointer(POINT from, POINT to, const std::function<void()>& before_release) {
  const DWORD thread = GetWindowThreadProcessId(WindowFromPoint(from), nullptr);
  INPUT at = MoveTo(from);
  at.mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &at, sizeof at);
  from.x += 2 * GetSystemMetrics(SM_CXDRAG);
  // The pointer keeps moving a pixel to and fro until the drag is taken: a list view that looks
  // for the drag only after the move it was sent has been handled waits for the next one.
  int nudge = 0;
  const bool taken = WaitUntil(
      [&] {
        at = MoveTo({from.x + (nudge++ % 2), from.y});
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && info.hwndCapture != nullptr;
      },
      std::chrono::seconds(3));
  for (int step = 1; taken && step <= 4; ++step) {
    at = MoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
  }
  if (taken && before_release) before_release();
  at.mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(1, &at, sizeof at);
  Sleep(150);
  return taken;
}

void ClickListViewRow(HWND list_view, int row, bool double_click) {
  const RECT rect = ListViewRowRect(list_view, row);
  POINT point{rect.left + 10, (rect.top + rect.bottom) / 2};
  ClientToScreen(list_view, &point);
  Activate(GetAncestor(list_view, GA_ROOT));
  ClickAt(point, double_click ? 2 : 1);
}

void TypeText(const std::string& text) {
  for (const wchar_t c : Wide(text)) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wScan = inputs[1].ki.wScan = c;
    inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
    inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
  }
  Sleep(150);
}

void TypeInto(HWND edit, const std::string& text) {
  SetWindowTextA(edit, "");
  ClickControl(edit);
  TypeText(text);
  WaitUntil([&] { return WindowText(edit) == text; }, std::chrono::seconds(3));
}

void ClickControl(HWND control) {
  Activate(GetAncestor(control, GA_ROOT));
  RECT rect;
  GetWindowRect(control, &rect);
  ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, 1);
}

// The modifier's press and release around the key's, when there is one.
void PressKey(WORD virtual_key, WORD modifier) {
  INPUT inputs[4] = {};
  for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[3].ki.wVk = modifier;
  inputs[1].ki.wVk = inputs[2].ki.wVk = virtual_key;
  inputs[2].ki.dwFlags = inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
  const int first = modifier != 0 ? 0 : 1;
  SendInput(4 - 2 * first, inputs + first, sizeof inputs[0]);
  Sleep(100);
}

bool ClickFrameButton(HWND window, LRESULT hit) {
  Activate(window);
  RECT rect;
  GetWindowRect(window, &rect);
  // Along the title bar from the right, to the first point the window calls that button.
  for (int y = rect.top + 2; y < rect.top + 40; y += 3) {
    for (int x = rect.right - 2; x > rect.right - 150; x -= 3) {
      if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) {
        ClickAt({x, y}, 1);
        return true;
      }
    }
  }
  return false;
}

void FocusWindowItself(HWND window) {
  Activate(window);
  const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(GetCurrentThreadId(), theirs, TRUE);
  SetFocus(window);
  AttachThreadInput(GetCurrentThreadId(), theirs, FALSE);
}

COLORREF ClientPixel(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

int CountPixels(HWND window, const RECT& client_rect, COLORREF colour) {
  POINT origin{client_rect.left, client_rect.top};
  ClientToScreen(window, &origin);
  const ScreenCopy copy(origin.x, origin.y, client_rect.right - client_rect.left,
                        client_rect.bottom - client_rect.top);
  if (copy.empty()) return 0;
  const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  int count = 0;
  for (int y = 0; y < copy.height(); ++y) {
    for (int x = 0; x < copy.width(); ++x) count += copy.At(x, y) == wanted ? 1 : 0;
  }
  return count;
}

RECT PlaceInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Activate(HWND window) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(3));
}

}  // namespace e2e
