// How long the Options window takes to open on a list of 100,000 rows, with the marks of missing
// programs and without them, in one run: the rows are marked as they are drawn, on a thread of
// their own, so marking must cost next to nothing. Prints the figures; never fails on a slow
// machine.
//   options_open_bench.exe [rows] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/identity_win.h"
#include "platform/platform_win.h"
#include "platform/program_icons_win.h"
#include "platform/session_win.h"
#include "platform/system_libraries_win.h"

namespace {

// The Win32 platform, with the program folder in a scratch folder of the bench's own.
class BenchEnvironment : public marlo::Win32Environment {
 public:
  explicit BenchEnvironment(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramFolder() override { return folder_; }

 private:
  std::string folder_;
};

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

// Opens the window (read, shown, drawn, and what it asked of the queue done), then closes it.
double TimeOpening(marlo::Session& session) {
  LARGE_INTEGER start, shown;
  QueryPerformanceCounter(&start);
  marlo::OpenOptionsWindow(session);
  Pump();
  QueryPerformanceCounter(&shown);
  session.open_windows = 2;  // closing it must not end the bench's message loop
  DestroyWindow(session.options);
  Pump();
  return Seconds(start, shown);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  marlo::InitCommonControlsFromSystem();

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "marlo-options-bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string list;
  for (int i = 0; i < rows; ++i) {
    // Every other program is missing, so that the rows on screen get both marks.
    list += "Program " + std::to_string(i) + "=D:\\APPS\\P" + std::to_string(i % 2 ? i : 0) +
            "\\PROGRAM.EXE\r\n";
  }
  HANDLE file = CreateFileA((folder + "\\app.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
  CloseHandle(file);

  marlo::Win32FileSystem files;
  marlo::Win32Processes processes;
  marlo::Win32Clock clock;
  BenchEnvironment env(folder);
  marlo::Win32Locale locale;
  marlo::Win32ProgramIcons icons;
  marlo::Win32Identity identity;
  marlo::Platform platform{files, processes, clock, env, locale, icons, identity};
  marlo::Session session{platform};

  std::vector<double> with_marks, without_marks;
  for (int round = 0; round < rounds; ++round) {
    session.mark_programs = false;
    without_marks.push_back(TimeOpening(session));
    session.mark_programs = true;
    with_marks.push_back(TimeOpening(session));
  }
  const double plain = Median(without_marks);
  const double marked = Median(with_marks);
  std::printf(
      "Options window on %d rows (median of %d): opens in %.0f ms without marks, %.0f ms with "
      "marks: %.2fx (goal: at most 1.5x)\n",
      rows, rounds, plain * 1000, marked * 1000, marked / plain);
  DeleteFileA((folder + "\\app.txt").c_str());
  RemoveDirectoryA(folder.c_str());
  return 0;
}
