// Marlo.exe: the start-up menu. One message loop; the program runs while the main window or the
// Options window is open. Work on files that a server may be slow to answer is done on threads of
// its own (platform/window_work_win.h, options/program_checker_win.h); the windows' handlers all
// run on this thread, one at a time.
#include <windows.h>

#include <functional>

#include "platform/identity_win.h"
#include "platform/platform_win.h"
#include "platform/program_icons_win.h"
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
  auto& icons = *new marlo::Win32ProgramIcons;
  auto& identity = *new marlo::Win32Identity;
  marlo::Platform platform{files, processes, clock, env, locale, icons, identity};
  marlo::Session session{platform};

  marlo::OpenMasterWindow(session);
  if (session.open_windows == 0) {
    marlo::FinishOwedWork();
    return session.exit_code;
  }

  // Every message waiting is handled before the next slice of idle work (a long menu being
  // filled), so the windows answer, paint and keep their timers meanwhile.
  MSG message;
  for (;;) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      const std::function<bool()> idle = session.idle;  // the slice may take it away
      if (idle && idle()) continue;
      if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    } else if (message.message == WM_QUIT) {
      break;
    }
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
