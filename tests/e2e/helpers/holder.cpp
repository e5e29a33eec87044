// Holds a file open for reading without sharing write or delete access, as a program that has
// the list open can: `holder.exe <path> <milliseconds>`; with a third word, `alone`, it shares
// nothing at all, as a backup or a spreadsheet program can.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  const DWORD share = __argc > 3 ? 0 : FILE_SHARE_READ;
  HANDLE file = CreateFileA(__argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  Sleep(static_cast<DWORD>(std::atoi(__argv[2])));
  CloseHandle(file);
  return 0;
}
