// Driving Marlo.exe for real under Wine: its files on the scratch server drive, its process, its
// windows, and a person's mouse and keyboard. Texts and paths are UTF-8, as in the program.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Polls `condition` until it holds or `timeout` passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(15));

// Files and folders, by Windows path.
std::string BinFolder();  // the folder of the test programs and of the freshly built Marlo.exe
void ResetFolder(const std::string& folder);  // removes it with all it holds, then creates it
void WriteBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);  // CR LF lines; none when missing
// The lines once there are `count` of them (the menu writes its start log away from its window).
std::vector<std::string> WaitForLines(const std::string& path, std::size_t count);
// Copies a program of BinFolder() to `target` (a full path).
void CopyProgram(const std::string& name, const std::string& target);

// Makes a file or folder unchangeable, for root too, or changeable again (chattr +i / -i on the
// Linux side, run from Wine): the only way to make a folder read-only for a test that runs as root.
bool SetImmutable(const std::string& path, bool immutable);

// Keeps a file or folder unchangeable while it lives, once Lock has worked.
class Locked {
 public:
  explicit Locked(std::string path) : path_(std::move(path)) {}
  ~Locked() {
    if (locked_) SetImmutable(path_, false);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  bool Lock() { return locked_ = SetImmutable(path_, true); }

 private:
  std::string path_;
  bool locked_ = false;
};

// The local time, as seconds since midnight of day 0 of the year-2000 based count.
long long LocalSeconds();
// Parses "dd/mm/yyyy hh:mm:ss" into the same count; nullopt when the text has another form.
std::optional<long long> ParseStamp(const std::string& stamp);

// A started Marlo.exe (or any program); ended by the destructor if it still runs.
class Process {
 public:
  // Starts `exe` with its own folder as current folder. LOGONSERVER is set to `logonserver`, or
  // removed when it is nullopt.
  Process(const std::string& exe, const std::optional<std::string>& logonserver);
  // Starts a helper program by its command line, from the current folder.
  explicit Process(const std::string& command_line);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD id() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }
  // The process's current folder, read from its process parameters.
  std::string CurrentFolder();
  bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));
  bool Running();
  DWORD ExitCode();  // of a process that ended (a crash gives the exception's code)

  // The first visible top-level window of this process of `window_class` (and `title`, if given).
  HWND FindWindowOf(const std::string& window_class, const std::string& title = "");
  HWND WaitForWindow(const std::string& window_class, const std::string& title = "");

 private:
  PROCESS_INFORMATION info_{};
};

// Message boxes: a #32770 window of the process titled `title`; its text; OK.
std::string MessageBoxText(HWND box);
void PressOk(HWND box);
// Clicks a button of a message box (IDYES, IDNO, IDCANCEL, IDOK) as a person does.
void ClickBoxButton(HWND box, int id);

// Controls read from outside, as a test sees them.
std::string WindowText(HWND window);
std::string ListBoxItem(HWND list, int index);
std::vector<std::string> ListBoxItems(HWND list);
int ListBoxSelection(HWND list);

// The rows of a list view of another process, as (name, path) pairs.
std::vector<std::pair<std::string, std::string>> ListViewRows(HWND list_view);
// The texts of one column of such a list view, row by row.
std::vector<std::string> ListViewColumn(HWND list_view, int column);

// A person's hands: real input through the desktop.
// Clicks a list box item until it is selected.
void SelectListItem(HWND list, int index);
// Selects the item, then double-clicks it.
void DoubleClickListItem(HWND list, int index);
void ClickControl(HWND control);
void ClickListViewRow(HWND list_view, int row, bool double_click = false);
// Types `text` into the control that has the focus.
void TypeText(const std::string& text);
// Empties an edit control, clicks into it and types `text`.
void TypeInto(HWND edit, const std::string& text);
// Presses a key, with `modifier` (VK_MENU, VK_SHIFT, VK_CONTROL) held if one is given.
void PressKey(WORD virtual_key, WORD modifier = 0);
// A drag as a hand makes it: the left button pressed at `from`, held while the pointer moves to
// `to` in steps, `before_release` done there, and let go; false when no window took the mouse.
bool DragPointer(POINT from, POINT to, const std::function<void()>& before_release = {});
void Activate(HWND window);
// Clicks the button of a window's frame that answers `hit` (HTCLOSE, HTMINBUTTON) to a hit test.
bool ClickFrameButton(HWND window, LRESULT hit);
// Gives the keyboard focus to a window of another process itself, not to any of its controls.
void FocusWindowItself(HWND window);

// The colour the screen shows at a point of a window's client area.
COLORREF ClientPixel(HWND window, int x, int y);
// How many pixels of a rectangle of a window's client area the screen shows in `colour`.
int CountPixels(HWND window, const RECT& client_rect, COLORREF colour);
// The rectangle of a list view row in the list view's client area.
RECT ListViewRowRect(HWND list_view, int row);
// A control's place in its parent's client area.
RECT PlaceInParent(HWND control);

}  // namespace e2e
