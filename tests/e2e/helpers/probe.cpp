// Stands in for an office program: appends one line to the file named by MARLO_PROBE_RESULT,
// "<image path>|<command line>|<current folder>", and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char result_path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("MARLO_PROBE_RESULT", result_path, MAX_PATH) == 0) return 2;
  char image[MAX_PATH * 2] = {};
  DWORD image_size = sizeof image;
  QueryFullProcessImageNameA(GetCurrentProcess(), 0, image, &image_size);
  char folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof folder, folder);
  const std::string line = std::string(image) + "|" + GetCommandLineA() + "|" + folder + "\r\n";
  HANDLE file = CreateFileA(result_path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
