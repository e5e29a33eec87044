// Load for the shared files, through the same code the menu uses:
//   list_stress.exe writer <folder> <count>    saves list A and list B in turn, <count> saves
//   list_stress.exe reader <folder> <stopfile> reads app.txt in a tight loop until <stopfile>
//   list_stress.exe appender <file> <count> <tag>   appends <count> start-log style records
// Each writes what it counted to a file beside its input: writer.txt, reader-<pid>.txt.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "main_window/list_file.h"
#include "main_window/list_form.h"
#include "platform/platform_win.h"

namespace {

using marlo::ListEntry;

const std::vector<ListEntry>& ListA() {
  static const std::vector<ListEntry> list{{"Sales", "D:\\SALES\\NEWSALES\\X.EXE"},
                                           {"Stock", "D:\\STOCK\\STOCK.EXE"}};
  return list;
}

const std::vector<ListEntry>& ListB() {
  static const std::vector<ListEntry> list{{"Pay roll", "D:\\PAY\\PAY.EXE"},
                                           {"Ledger", "D:\\LEDGER\\LEDGER.EXE"},
                                           {"Reports", "D:\\REPORTS\\REPORTS.EXE"},
                                           {"Clock", "D:\\APPS\\CLOCK\\CLOCK.EXE"}};
  return list;
}

marlo::Deadline InThreeSeconds() {
  marlo::Win32Clock clock;
  return clock.After(std::chrono::seconds(3));
}

void WriteResult(const std::string& path, const std::string& text) {
  marlo::Win32FileSystem files;
  files.Append(path, text, InThreeSeconds());
}

int Writer(const std::string& folder, int count) {
  marlo::Win32FileSystem files;
  int saved = 0;
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    const auto result =
        marlo::SaveListFile(files, folder, marlo::FormatListFile(i % 2 == 0 ? ListB() : ListA()));
    result.ok ? ++saved : ++failed;
    Sleep(10);  // a save takes a few milliseconds: the readers get to read each list between them
  }
  WriteResult(folder + "\\writer.txt", std::to_string(saved) + " " + std::to_string(failed));
  return 0;
}

int Reader(const std::string& folder, const std::string& stop_file) {
  marlo::Win32FileSystem files;
  const std::string a = marlo::FormatListFile(ListA());
  const std::string b = marlo::FormatListFile(ListB());
  long long reads_a = 0, reads_b = 0, missing = 0, other = 0;
  while (GetFileAttributesA(stop_file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const auto read = files.ReadAll(marlo::ListFilePath(folder), marlo::kMostListBytes);
    if (!read.ok) {
      ++missing;
    } else if (read.bytes == a) {
      ++reads_a;
    } else if (read.bytes == b) {
      ++reads_b;
    } else {
      ++other;
    }
  }
  WriteResult(folder + "\\reader-" + std::to_string(GetCurrentProcessId()) + ".txt",
              std::to_string(reads_a) + " " + std::to_string(reads_b) + " " +
                  std::to_string(missing) + " " + std::to_string(other));
  return 0;
}

int Appender(const std::string& file, int count, const std::string& tag) {
  marlo::Win32FileSystem files;
  for (int i = 0; i < count; ++i) {
    files.Append(file, tag + " - record " + std::to_string(i) + " of a start log line\r\n",
                 InThreeSeconds());
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 4) return 2;
  const std::string mode = __argv[1];
  if (mode == "writer") return Writer(__argv[2], std::atoi(__argv[3]));
  if (mode == "reader") return Reader(__argv[2], __argv[3]);
  if (mode == "appender" && __argc >= 5)
    return Appender(__argv[2], std::atoi(__argv[3]), __argv[4]);
  return 2;
}
