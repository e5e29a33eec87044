// A harmless stand-in for an office program, for the demo list: it shows where it was started
// from, and ends when its box is closed.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  const std::string text =
      std::string("Started as:\r\n") + GetCommandLineA() + "\r\n\r\nWorking folder:\r\n" + folder;
  MessageBoxA(nullptr, text.c_str(), "Demo program", MB_OK | MB_ICONINFORMATION);
  return 0;
}
