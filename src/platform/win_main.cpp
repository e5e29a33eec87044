// Marlo.exe: the start-up menu. One thread, one message loop; the program runs while the main
// window or the Options window is open.
#include <windows.h>

#include "platform/platform_win.h"
#include "platform/session_win.h"
#include "platform/system_libraries_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // The menu runs from a share that many can write to: no library is ever loaded from its folder.
  marlo::RestrictLibrarySearch();

  marlo::Win32FileSystem files;
  marlo::Win32Processes processes;
  marlo::Win32Clock clock;
  marlo::Win32Environment env;
  marlo::Win32Locale locale;
  marlo::Platform platform{files, processes, clock, env, locale};
  marlo::Session session{platform};

  marlo::OpenMasterWindow(session);
  if (session.open_windows == 0) return session.exit_code;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    const bool ours = root != nullptr && (root == session.master || root == session.options);
    if (ours && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return session.exit_code;
}
