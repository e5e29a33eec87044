// The program's windows and when the program ends: it runs while any of its windows is open.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace marlo {

struct Session {
  Platform& platform;
  HWND master = nullptr;   // the main window, while it is open
  HWND options = nullptr;  // the Options window, while it is open
  int open_windows = 0;
  // The Options window marks rows whose program is missing; off only to measure what it costs.
  bool mark_programs = true;

  void WindowOpened() { ++open_windows; }
  void WindowClosed() {
    if (--open_windows == 0) PostQuitMessage(0);
  }
};

// Creates the main window and runs its start-up; it shows itself unless start-up closed it.
void OpenMasterWindow(Session& session);
// Creates the Options window, not modal and without an owner.
void OpenOptionsWindow(Session& session);

}  // namespace marlo
