// Holds a file open for reading without sharing write or delete access, as a program that has
// the list open can: `holder.exe <path> <milliseconds>`.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  HANDLE file = CreateFileA(__argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  Sleep(static_cast<DWORD>(std::atoi(__argv[2])));
  CloseHandle(file);
  return 0;
}
