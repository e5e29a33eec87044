// How long the menu takes to draw the icon of every entry on screen, from the drive and through a
// share that waits in every file operation (scripts/slow-share.sh), and what the icons cost: the
// peak working set against the same menu drawing none (MarloWithoutIcons.exe), and the file
// operations they take through the slow share. Through the slow share also a menu of 10 entries,
// all on screen: the time from its being ready to every icon drawn, against reading the same 10
// icons here as the menu reads them, one after another and on 10 threads at once. Prints the
// figures; never fails on a slow machine.
//   icons_bench.exe [rounds]   (inside scripts/slow-share.sh; without it, from the drive only)
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "main_window/master_ids.h"
#include "platform/program_icons_win.h"
#include "platform/ui_win.h"

namespace {

namespace ids = marlo::master_ids;

const char* const kFolder = "D:\\ICONS-BENCH";
constexpr int kEntries = 20;     // more than the menu shows
constexpr int kFewEntries = 10;  // all on screen: the menu in folder TEN, P0 to P9

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

std::string Bin() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

long long SlowOperations() {
  const char* counts = std::getenv("MARLO_SLOW_COUNTS");
  char text[64] = {};
  HANDLE file = counts == nullptr
                    ? INVALID_HANDLE_VALUE
                    : CreateFileA(counts, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  DWORD got = 0;
  ReadFile(file, text, sizeof text - 1, &got, nullptr);
  CloseHandle(file);
  return std::atoll(text + 5);  // "total N"
}

// The pixels an icon of `size` shows drawn on `ground`.
std::vector<DWORD> Drawn(HICON icon, int size, COLORREF ground, HDC screen, int x, int y) {
  std::vector<DWORD> pixels;
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  if (icon != nullptr) {
    HBRUSH brush = CreateSolidBrush(ground);
    const RECT all{0, 0, size, size};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  } else {
    BitBlt(dc, 0, 0, size, size, screen, x, y, SRCCOPY);
  }
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) pixels.push_back(GetPixel(dc, column, row));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

// True once every entry on screen (of `entries`) shows its program's icon.
bool IconsDrawn(HWND list, HICON icon, int size, int entries) {
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  RECT client;
  GetClientRect(list, &client);
  HDC screen = GetDC(nullptr);
  bool all = true;
  for (int row = 0; all && (row + 1) * height <= client.bottom && row < entries; ++row) {
    POINT at{marlo::Scale(2, marlo::WindowDpi(list)), row * height + (height - size) / 2};
    ClientToScreen(list, &at);
    const COLORREF ground = row == 0 ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 192, 192);
    all = Drawn(icon, size, ground, screen, 0, 0) == Drawn(nullptr, size, 0, screen, at.x, at.y);
  }
  ReleaseDC(nullptr, screen);
  return all;
}

struct Measure {
  double ready = 0, icons = 0, peak_mb = 0;
  long long operations = 0;
};

// Starts the menu, waits until it is ready and then until its icons are drawn (or, for the menu
// that draws none, as long again), and closes it.
Measure Run(const std::string& exe, bool icons, HICON icon, int size, int entries = kEntries) {
  Measure measure;
  std::string line = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const long long operations = SlowOperations();
  const double start = Now();
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("could not start %s\n", exe.c_str());
    std::exit(1);
  }
  HWND main = nullptr;
  for (char mode[16] = {}; std::string(mode) != "SERVER" && std::string(mode) != "CLIENT";
       Sleep(1)) {
    main = FindWindowA(ids::kWindowClass, nullptr);
    if (main != nullptr) GetWindowTextA(GetDlgItem(main, ids::kLabel5), mode, sizeof mode);
  }
  measure.ready = Now() - start;
  while (icons && !IconsDrawn(GetDlgItem(main, ids::kList7), icon, size, entries) &&
         Now() - start < 60) {
    Sleep(2);
  }
  measure.icons = Now() - start;
  if (!icons) Sleep(static_cast<DWORD>(measure.ready * 1000));
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
  measure.peak_mb = memory.PeakWorkingSetSize / 1048576.0;
  measure.operations = SlowOperations() - operations;
  PostMessageA(main, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Sleep(200);
  return measure;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A program's icon read as the menu reads it (Win32ProgramIcons), and let go.
void ReadIcon(const std::wstring& path, int size) {
  HICON icon = nullptr;
  if (PrivateExtractIconsW(path.c_str(), 0, size, size, &icon, nullptr, 1, LR_DEFAULTCOLOR) == 1) {
    DestroyIcon(icon);
  }
}

struct Reader {
  std::wstring path;
  int size;
  HANDLE go;
};

DWORD WINAPI ReadWhenTold(void* parameter) {
  const Reader& reader = *static_cast<Reader*>(parameter);
  WaitForSingleObject(reader.go, INFINITE);
  ReadIcon(reader.path, reader.size);
  return 0;
}

// Seconds to read the icons of `paths` one after another, or each on a thread of its own, all
// at once (the threads are made first, and the time runs from when they are told to read).
double ReadIcons(const std::vector<std::wstring>& paths, int size, bool at_once) {
  if (!at_once) {
    const double start = Now();
    for (const std::wstring& path : paths) ReadIcon(path, size);
    return Now() - start;
  }
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<Reader> readers;
  for (const std::wstring& path : paths) readers.push_back({path, size, go});
  std::vector<HANDLE> threads;
  for (Reader& reader : readers) {
    threads.push_back(CreateThread(nullptr, 0, &ReadWhenTold, &reader, 0, nullptr));
  }
  const double start = Now();
  SetEvent(go);
  WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
  const double took = Now() - start;
  for (HANDLE thread : threads) CloseHandle(thread);
  CloseHandle(go);
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string folder = kFolder;
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\MENU").c_str(), nullptr);
  CreateDirectoryA((folder + "\\APPS").c_str(), nullptr);
  CopyFileA((Bin() + "\\Marlo.exe").c_str(), (folder + "\\MENU\\Marlo.exe").c_str(), FALSE);
  CopyFileA((Bin() + "\\MarloWithoutIcons.exe").c_str(), (folder + "\\MENU\\Plain.exe").c_str(),
            FALSE);
  CreateDirectoryA((folder + "\\TEN").c_str(), nullptr);
  CopyFileA((Bin() + "\\Marlo.exe").c_str(), (folder + "\\TEN\\Marlo.exe").c_str(), FALSE);
  std::string list, few;
  for (int i = 0; i < kEntries; ++i) {
    const std::string program = folder + "\\APPS\\P" + std::to_string(i) + ".EXE";
    CopyFileA((Bin() + "\\DemoClock.exe").c_str(), program.c_str(), FALSE);
    list += "Program " + std::to_string(i) + "=" + program + "\r\n";
    if (i < kFewEntries) few = list;
  }
  for (const auto& [menu, text] : {std::pair{"MENU", &list}, std::pair{"TEN", &few}}) {
    HANDLE file = CreateFileA((folder + "\\" + menu + "\\app.txt").c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text->data(), static_cast<DWORD>(text->size()), &written, nullptr);
    CloseHandle(file);
  }
  const int size = marlo::SmallIconSize(marlo::WindowDpi(nullptr));
  HICON icon = nullptr;
  PrivateExtractIconsA((Bin() + "\\DemoClock.exe").c_str(), 0, size, size, &icon, nullptr, 1, 0);

  std::vector<std::pair<std::string, std::string>> places{{"drive", folder + "\\MENU"}};
  if (const char* share = std::getenv("MARLO_SLOW_SHARE")) {
    places.emplace_back("slow share", std::string(share) + "\\ICONS-BENCH\\MENU");
  }
  std::printf("%d entries of a program with its own icon, median of %d runs\n", kEntries, rounds);
  for (const auto& [name, menu] : places) {
    Run(menu + "\\Marlo.exe", true, icon, size);  // brings the files into memory
    std::vector<double> ready, drawn, peak, plain_peak, operations, plain_operations;
    for (int round = 0; round < rounds; ++round) {
      const Measure with = Run(menu + "\\Marlo.exe", true, icon, size);
      const Measure without = Run(menu + "\\Plain.exe", false, icon, size);
      ready.push_back(with.ready);
      drawn.push_back(with.icons);
      peak.push_back(with.peak_mb);
      operations.push_back(static_cast<double>(with.operations));
      plain_peak.push_back(without.peak_mb);
      plain_operations.push_back(static_cast<double>(without.operations));
    }
    std::printf(
        "from the %s: ready after %.0f ms, every icon on screen drawn after %.0f ms; peak "
        "working set %.1f MB, without icons %.1f MB (%+.1f MB)",
        name.c_str(), Median(ready) * 1000, Median(drawn) * 1000, Median(peak), Median(plain_peak),
        Median(peak) - Median(plain_peak));
    if (name != "drive") {
      std::printf("; file operations %.0f, without icons %.0f", Median(operations),
                  Median(plain_operations));
    }
    std::printf("\n");
  }
  if (const char* share = std::getenv("MARLO_SLOW_SHARE")) {
    const std::string ten = std::string(share) + "\\ICONS-BENCH\\TEN\\Marlo.exe";
    std::vector<std::wstring> paths;
    for (int i = 0; i < kFewEntries; ++i) {
      const std::string path =
          std::string(share) + "\\ICONS-BENCH\\APPS\\P" + std::to_string(i) + ".EXE";
      paths.emplace_back(path.begin(), path.end());
    }
    Run(ten, true, icon, size, kFewEntries);
    std::vector<double> ready, after_ready, one_by_one, at_once;
    for (int round = 0; round < rounds; ++round) {
      const Measure menu = Run(ten, true, icon, size, kFewEntries);
      ready.push_back(menu.ready);
      after_ready.push_back(menu.icons - menu.ready);
      one_by_one.push_back(ReadIcons(paths, size, false));
      at_once.push_back(ReadIcons(paths, size, true));
    }
    std::printf(
        "%d entries through the slow share, all on screen: ready after %.0f ms, every icon drawn "
        "%.0f ms after that; the same %d icons read one after another %.0f ms, on %d threads at "
        "once %.0f ms\n",
        kFewEntries, Median(ready) * 1000, Median(after_ready) * 1000, kFewEntries,
        Median(one_by_one) * 1000, kFewEntries, Median(at_once) * 1000);
  }
  DestroyIcon(icon);
  return 0;
}
