// Stands in for an office program: appends one line to the file named by MARLO_PROBE_RESULT,
// "<image path>|<command line>|<current folder>" in UTF-8, and ends.
#include <windows.h>

#include <string>

#include "platform/text_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t result_path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"MARLO_PROBE_RESULT", result_path, MAX_PATH) == 0) return 2;
  wchar_t image[MAX_PATH * 2] = {};
  DWORD image_size = MAX_PATH * 2;
  QueryFullProcessImageNameW(GetCurrentProcess(), 0, image, &image_size);
  wchar_t folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, folder);
  const std::string line =
      marlo::Utf8(std::wstring(image) + L"|" + GetCommandLineW() + L"|" + folder + L"\r\n");
  HANDLE file = CreateFileW(result_path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
