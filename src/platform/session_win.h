// The program's windows and when the program ends: it runs while any of its windows is open.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/platform.h"
#include "platform/ui_win.h"

namespace marlo {

struct Session {
  Platform& platform;
  HWND master = nullptr;   // the main window, while it is open
  HWND options = nullptr;  // the Options window, while it is open
  int open_windows = 0;
  // The Options window marks rows whose program is missing; off only to measure what it costs.
  bool mark_programs = true;
  // What the program ends with: not 0 once a window could not be made.
  int exit_code = 0;
  // Work done a slice at a time whenever the message queue is empty (a long menu being filled):
  // true while more is to come. The window that set it takes it away.
  std::function<bool()> idle = nullptr;

  void WindowOpened() { ++open_windows; }
  void WindowClosed() {
    if (--open_windows == 0) PostQuitMessage(0);
  }
  // A window that could not be made (`what` names it) says so, and the program ends with a
  // failure code once its last window has gone (at once when it has none).
  void WindowNotCreated(const wchar_t* what) {
    exit_code = 1;
    ShowWindowNotCreated(what);
  }
};

// Creates the main window and runs its start-up; it shows itself unless start-up closed it.
void OpenMasterWindow(Session& session);
// Creates the Options window, not modal and without an owner.
void OpenOptionsWindow(Session& session);

}  // namespace marlo
