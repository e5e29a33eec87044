// Marlo.exe: the start-up menu. One message loop; the program runs while the main window or the
// Options window is open. Work on files that a server may be slow to answer is done on threads of
// its own (platform/window_work_win.h, options/program_checker_win.h); the windows' handlers all
// run on this thread, one at a time.
#include <windows.h>

#include "platform/platform_win.h"
#include "platform/session_win.h"
#include "platform/system_libraries_win.h"
#include "platform/window_work_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // The menu runs from a share that many can write to: no library is ever loaded from its folder.
  marlo::RestrictLibrarySearch();

  // The platform lives as long as the process: work on another thread may still use it while the
  // program ends.
  auto& files = *new marlo::Win32FileSystem;
  auto& processes = *new marlo::Win32Processes;
  auto& clock = *new marlo::Win32Clock;
  auto& env = *new marlo::Win32Environment;
  auto& locale = *new marlo::Win32Locale;
  marlo::Platform platform{files, processes, clock, env, locale};
  marlo::Session session{platform};

  marlo::OpenMasterWindow(session);
  if (session.open_windows == 0) {
    marlo::FinishOwedWork();
    return session.exit_code;
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = root != nullptr && (root == session.master || root == session.options);
    if (ours && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // No start record is lost to a menu ended at once: the log gets what is left of its seconds.
  marlo::FinishOwedWork();
  return session.exit_code;
}
