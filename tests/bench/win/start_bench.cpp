// How much a start from the menu costs a client on a slow share, against the least a start can
// do: the time from the request to the started program's first line, and the file operations the
// share served in that time, counted by the share itself. Run inside scripts/slow-share.sh, whose
// share waits in every operation (10 ms) and keeps its counts in a file on an ordinary drive.
//
// The server drive holds MENU\Marlo.exe and an app.txt of one entry, Sales=D:\SALES\NEWSALES\X.EXE,
// a probe that writes one line to a local file and ends. The menu runs as a client from
// \\SLOWSERVER\APPS\MENU\Marlo.exe, started two ways: with its own folder on the share as current
// folder (as a shortcut to it gives it on Windows, and the menu puts that folder back after a
// start), and with a local current folder (as a start whose share folder the platform does not
// take, Wine's, leaves it). Once it is ready and has just looked at app.txt (it does every 3 s while on screen) and the share is
// quiet, Command1 is clicked by message (the menu's start of the chosen entry) and the time runs
// until the probe's line is there. The bare start does what any start must: it makes the
// program's folder on the share the current folder (the working folder of a process start is not
// honoured for a share folder by every platform) and creates the process of the program there,
// timed and counted the same way. The three run interleaved, each round beginning with the next;
// medians, their ratios, the operations the menu asks for beyond the bare start, by kind. Prints figures; never fails on a
// slow machine.
//   start_bench.exe [rounds]     9 by default
// MARLO_SLOW_SHARE and MARLO_SLOW_COUNTS (set by scripts/slow-share.sh) name the share and the
// counts file.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "main_window/master_ids.h"

namespace {

namespace ids = marlo::master_ids;

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

std::wstring Variable(const wchar_t* name, const wchar_t* otherwise) {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? value : otherwise;
}

std::wstring BinFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring text(path, length);
  return text.substr(0, text.find_last_of(L'\\'));
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// ---------------------------------------------------------------------------------------------
// The share's counts: "total N" and one "KIND N" line a kind.

struct Counts {
  std::uint64_t total = 0;
  std::map<std::string, std::uint64_t> kinds;
};

bool Parse(const std::string& text, Counts& counts) {
  counts = {};
  std::uint64_t sum = 0;
  bool have_total = false;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) return false;  // cut short
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    char name[32];
    unsigned long long value = 0;
    if (std::sscanf(line.c_str(), "%31s %llu", name, &value) != 2) return false;
    if (std::string(name) == "total") {
      counts.total = value;
      have_total = true;
    } else {
      counts.kinds[name] = value;
      sum += value;
    }
  }
  return have_total && sum == counts.total;
}

// The counts as they are now. The file is rewritten in place after every operation; a read that
// met a write half done does not add up, and is made again.
Counts ReadCounts(const std::wstring& path) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char buffer[8192];
      DWORD got = 0;
      const BOOL read = ReadFile(file, buffer, sizeof buffer, &got, nullptr);
      CloseHandle(file);
      Counts counts;
      if (read && Parse(std::string(buffer, got), counts)) return counts;
    }
    Sleep(1);
  }
  std::printf("the slow share's counts cannot be read: is this run inside scripts/slow-share.sh?\n");
  std::exit(1);
}

// Waits until the share has served nothing for `quiet` seconds; the counts then. False as the
// second member when it never was quiet within `patience` seconds.
std::pair<Counts, bool> WaitQuiet(const std::wstring& counts_path, double quiet = 0.5,
                                  double patience = 30) {
  Counts last = ReadCounts(counts_path);
  double changed = Now();
  const double start = changed;
  for (;;) {
    Sleep(20);
    const Counts now = ReadCounts(counts_path);
    if (now.total != last.total) {
      last = now;
      changed = Now();
    } else if (Now() - changed >= quiet) {
      return {last, true};
    }
    if (Now() - start > patience) return {last, false};
  }
}

// Waits for the share to serve anything beyond `seen`; false when nothing came in `patience`.
bool WaitForOperation(const std::wstring& counts_path, std::uint64_t seen, double patience) {
  const double start = Now();
  while (Now() - start < patience) {
    if (ReadCounts(counts_path).total != seen) return true;
    Sleep(5);
  }
  return false;
}

std::map<std::string, long long> Difference(const Counts& after, const Counts& before) {
  std::map<std::string, long long> difference;
  for (const auto& [kind, value] : after.kinds) {
    const auto was = before.kinds.find(kind);
    difference[kind] = static_cast<long long>(value) -
                       static_cast<long long>(was != before.kinds.end() ? was->second : 0);
  }
  return difference;
}

// ---------------------------------------------------------------------------------------------
// Windows of another process

struct Search {
  DWORD process;
  HWND found;
};

HWND MainWindow(DWORD process) {
  Search search{process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* search = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner != search->process || !IsWindowVisible(window) ||
            std::wstring(name) != L"MarloMaster") {
          return TRUE;
        }
        search->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND control) {
  wchar_t text[64] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                      &got);
  return text;
}

bool Ready(HWND window, std::size_t entries) {
  DWORD_PTR count = 0;
  return SendMessageTimeoutW(GetDlgItem(window, ids::kList7), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000,
                             &count) &&
         count == entries && TextOf(GetDlgItem(window, ids::kLabel5)) == L"CLIENT";
}

// ---------------------------------------------------------------------------------------------

struct Setup {
  std::wstring share;        // \\SLOWSERVER\APPS
  std::wstring counts;       // the counts file, on an ordinary drive
  std::wstring menu;         // the menu as a client starts it, through the share
  std::wstring menu_folder;  // its folder on the share
  std::wstring program;      // the entry's program through the share
  std::wstring program_folder;
  std::wstring result;  // the probe's line, on an ordinary drive
  std::wstring own_folder;
};

bool LineWritten(const std::wstring& result) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExW(result.c_str(), GetFileExInfoStandard, &data) &&
         (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// The time from a start to the probe's line, and what the share served until then and until it
// was quiet again.
struct Measure {
  double seconds = 0;
  Counts before, at_line, settled;
  bool ok = false;
};

bool WaitForLine(const Setup& setup, double start, Measure& measure) {
  while (!LineWritten(setup.result)) {
    if (Now() - start > 60) {
      std::printf("the probe wrote no line within 60 s\n");
      return false;
    }
    Sleep(1);
  }
  measure.seconds = Now() - start;
  measure.at_line = ReadCounts(setup.counts);
  measure.settled = WaitQuiet(setup.counts).first;
  return true;
}

struct Menu {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  double ready_seconds = 0;
  std::uint64_t ready_operations = 0;
};

// Starts the menu as a client through the share, with its own folder as current folder or with
// this program's local one, and waits until it is ready, then until it has just looked at
// app.txt and the share is quiet.
bool OpenMenu(const Setup& setup, bool from_own_folder, Menu& menu) {
  const Counts before = ReadCounts(setup.counts);
  std::wstring command_line = L"\"" + setup.menu + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const double start = Now();
  if (from_own_folder) SetCurrentDirectoryW(setup.menu_folder.c_str());
  const BOOL started = CreateProcessW(setup.menu.c_str(), command_line.data(), nullptr, nullptr,
                                      FALSE, 0, nullptr, nullptr, &startup, &menu.process);
  SetCurrentDirectoryW(setup.own_folder.c_str());
  if (!started) {
    std::printf("could not start %ls (error %lu)\n", setup.menu.c_str(), GetLastError());
    return false;
  }
  for (;;) {
    menu.window = MainWindow(menu.process.dwProcessId);
    if (menu.window != nullptr && Ready(menu.window, 1)) break;
    if (Now() - start > 120) {
      std::printf("Marlo.exe never became ready\n");
      return false;
    }
    Sleep(1);
  }
  menu.ready_seconds = Now() - start;
  menu.ready_operations = ReadCounts(setup.counts).total - before.total;
  // What the start-up still does (the start log) ends first; then comes the next look.
  const Counts quiet = WaitQuiet(setup.counts).first;
  if (!WaitForOperation(setup.counts, quiet.total, 4.0)) {
    std::printf("(no look at app.txt seen within 4 s)\n");
  }
  if (!WaitQuiet(setup.counts).second) std::printf("(the share was not quiet for 30 s)\n");
  return true;
}

void CloseMenu(const Setup& setup, Menu& menu) {
  if (menu.process.hProcess == nullptr) return;
  if (menu.window != nullptr) PostMessageW(menu.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(menu.process.hProcess, 15000) != WAIT_OBJECT_0) {
    TerminateProcess(menu.process.hProcess, 1);
    WaitForSingleObject(menu.process.hProcess, 5000);
  }
  CloseHandle(menu.process.hThread);
  CloseHandle(menu.process.hProcess);
  menu = {};
  WaitQuiet(setup.counts);
}

// The menu's start of its chosen entry: Command1, as Enter clicks it.
Measure MenuStart(const Setup& setup, bool from_own_folder, Menu& menu_out) {
  Measure measure;
  DeleteFileW(setup.result.c_str());
  Menu menu;
  if (!OpenMenu(setup, from_own_folder, menu)) {
    CloseMenu(setup, menu);
    return measure;
  }
  measure.before = ReadCounts(setup.counts);
  const double start = Now();
  PostMessageW(menu.window, WM_COMMAND, MAKEWPARAM(ids::kCommand1, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(menu.window, ids::kCommand1)));
  measure.ok = WaitForLine(setup, start, measure);
  menu_out.ready_seconds = menu.ready_seconds;
  menu_out.ready_operations = menu.ready_operations;
  CloseMenu(setup, menu);
  return measure;
}

// The least a start through the share does: the program's folder as current folder, and the
// process made.
Measure BareStart(const Setup& setup) {
  Measure measure;
  DeleteFileW(setup.result.c_str());
  WaitQuiet(setup.counts);
  std::wstring command_line = L"\"" + setup.program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  measure.before = ReadCounts(setup.counts);
  const double start = Now();
  SetCurrentDirectoryW(setup.program_folder.c_str());
  if (!CreateProcessW(setup.program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    std::printf("could not start %ls (error %lu)\n", setup.program.c_str(), GetLastError());
    SetCurrentDirectoryW(setup.own_folder.c_str());
    return measure;
  }
  CloseHandle(process.hThread);
  measure.ok = WaitForLine(setup, start, measure);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  SetCurrentDirectoryW(setup.own_folder.c_str());
  WaitQuiet(setup.counts);
  return measure;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <typename T>
std::pair<T, T> Spread(const std::vector<T>& values) {
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return {*low, *high};
}

struct Series {
  std::vector<double> milliseconds;
  std::vector<long long> at_line, settled;
  std::map<std::string, std::vector<long long>> kinds;  // at the line

  void Add(const Measure& measure) {
    milliseconds.push_back(measure.seconds * 1000);
    at_line.push_back(static_cast<long long>(measure.at_line.total - measure.before.total));
    settled.push_back(static_cast<long long>(measure.settled.total - measure.before.total));
    for (const auto& [kind, value] : Difference(measure.at_line, measure.before)) {
      kinds[kind].push_back(value);
    }
  }
};

void PrintRow(const char* name, const Series& series) {
  const auto [fast, slow] = Spread(series.milliseconds);
  const auto [few, many] = Spread(series.at_line);
  const auto [few_settled, many_settled] = Spread(series.settled);
  std::printf("%-28s %8.1f (%.1f to %.1f) %8lld (%lld to %lld) %8lld (%lld to %lld)\n", name,
              Median(series.milliseconds), fast, slow, Median(series.at_line), few, many,
              Median(series.settled), few_settled, many_settled);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  Setup setup;
  setup.share = Variable(L"MARLO_SLOW_SHARE", L"\\\\SLOWSERVER\\APPS");
  setup.counts = Variable(L"MARLO_SLOW_COUNTS", L"E:\\SLOWSHARE\\counts.txt");
  const std::wstring delay = Variable(L"MARLO_SLOW_DELAY_MS", L"10");
  setup.menu_folder = setup.share + L"\\MENU";
  setup.menu = setup.menu_folder + L"\\Marlo.exe";
  setup.program_folder = setup.share + L"\\SALES\\NEWSALES";
  setup.program = setup.program_folder + L"\\X.EXE";
  setup.result = L"E:\\START-BENCH\\probe.txt";
  wchar_t own[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, own);
  setup.own_folder = own;

  // Laid out through the ordinary drive, which the slow share mirrors.
  const std::wstring bin = BinFolder();
  for (const wchar_t* folder : {L"D:\\MENU", L"D:\\SALES", L"D:\\SALES\\NEWSALES",
                                L"E:\\START-BENCH"}) {
    CreateDirectoryW(folder, nullptr);
  }
  CopyFileW((bin + L"\\Marlo.exe").c_str(), L"D:\\MENU\\Marlo.exe", FALSE);
  CopyFileW((bin + L"\\probe.exe").c_str(), L"D:\\SALES\\NEWSALES\\X.EXE", FALSE);
  WriteBytes(L"D:\\MENU\\app.txt", "Sales=D:\\SALES\\NEWSALES\\X.EXE\r\n");
  DeleteFileW(L"D:\\MENU\\user.txt");
  SetEnvironmentVariableW(L"MARLO_PROBE_RESULT", setup.result.c_str());
  SetEnvironmentVariableW(L"LOGONSERVER", L"\\\\DC1");
  if (GetFileAttributesW(setup.menu.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("%ls is not there: run inside scripts/slow-share.sh\n", setup.menu.c_str());
    return 1;
  }

  std::printf(
      "A start through a slow share (%ls, %ls ms in every file operation): Marlo.exe as a client, "
      "Command1 clicked (the menu started with its own folder on the share as current folder, "
      "and with a local one), against SetCurrentDirectoryW + CreateProcessW of the same program; "
      "from the request to the probe's line; median of %d rounds, interleaved\n",
      setup.share.c_str(), delay.c_str(), rounds);
  // The three starts measured, interleaved; each round begins with the next of them.
  enum { kOwnFolder, kLocalFolder, kBare, kStarts };
  const char* const names[kStarts] = {"Marlo.exe, own folder", "Marlo.exe, local folder",
                                      "bare CreateProcessW"};
  auto run = [&](int which, Menu& menu) {
    return which == kBare ? BareStart(setup) : MenuStart(setup, which == kOwnFolder, menu);
  };
  // The first starts of a Wine session are slower for every program: one of each goes first.
  Menu menu;
  for (int which = 0; which < kStarts; ++which) run(which, menu);

  Series series[kStarts];
  std::vector<double> ready_ms;
  std::vector<long long> ready_operations;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < kStarts; ++turn) {
      const int which = (round + turn) % kStarts;
      const Measure measure = run(which, menu);
      if (!measure.ok) return 1;
      series[which].Add(measure);
      if (which == kOwnFolder) {
        ready_ms.push_back(menu.ready_seconds * 1000);
        ready_operations.push_back(static_cast<long long>(menu.ready_operations));
      }
    }
  }

  std::printf("%-28s %30s %26s %26s\n", "", "start ms (spread)", "operations to the line",
              "operations until quiet");
  for (int which = 0; which < kStarts; ++which) PrintRow(names[which], series[which]);
  const Series& bare = series[kBare];
  std::printf("\n");
  for (int which : {kOwnFolder, kLocalFolder}) {
    const Series& marlo = series[which];
    std::printf("%s, against the bare start: %.2fx the time (%+.1f ms), %+lld operations to the "
                "line (%+lld until the share is quiet)\n",
                names[which], Median(marlo.milliseconds) / Median(bare.milliseconds),
                Median(marlo.milliseconds) - Median(bare.milliseconds),
                Median(marlo.at_line) - Median(bare.at_line),
                Median(marlo.settled) - Median(bare.settled));
  }
  std::printf("\nOperations to the line by kind (medians)\n  %-12s %9s %9s %9s %9s %9s\n", "kind",
              "own", "local", "bare", "own-bare", "local-bare");
  std::map<std::string, long long> medians[kStarts];
  for (int which = 0; which < kStarts; ++which) {
    for (const auto& [kind, values] : series[which].kinds) medians[which][kind] = Median(values);
  }
  for (const auto& [kind, own] : medians[kOwnFolder]) {
    const long long local = medians[kLocalFolder][kind];
    const long long theirs = medians[kBare][kind];
    if (own == 0 && local == 0 && theirs == 0) continue;
    std::printf("  %-12s %9lld %9lld %9lld %+9lld %+9lld\n", kind.c_str(), own, local, theirs,
                own - theirs, local - theirs);
  }
  const auto [fast_ready, slow_ready] = Spread(ready_ms);
  std::printf("\nMarlo.exe's own start-up through the slow share (from its own folder), to ready: "
              "%.1f ms (%.1f to %.1f), %lld operations (median)\n",
              Median(ready_ms), fast_ready, slow_ready, Median(ready_operations));

  DeleteFileW(L"D:\\MENU\\Marlo.exe");
  DeleteFileW(L"D:\\MENU\\app.txt");
  DeleteFileW(L"D:\\MENU\\user.txt");
  DeleteFileW(L"D:\\SALES\\NEWSALES\\X.EXE");
  DeleteFileW(setup.result.c_str());
  for (const wchar_t* folder : {L"D:\\SALES\\NEWSALES", L"D:\\SALES", L"D:\\MENU",
                                L"E:\\START-BENCH"}) {
    RemoveDirectoryW(folder);
  }
  return 0;
}
