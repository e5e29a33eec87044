#include "platform/platform_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "platform/text_win.h"

namespace marlo {
namespace {

// Owns a file handle for the length of one operation.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The system's own words for the last error, without the final full stop and line end; the
// error's number when the system has no words for it.
std::string LastErrorText() {
  const DWORD error = GetLastError();
  wchar_t buffer[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, buffer, 512, nullptr);
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ' || buffer[length - 1] == L'.')) {
    --length;
  }
  if (length == 0) return "error " + std::to_string(error);
  return Utf8({buffer, length});
}

Outcome Failure() { return {false, LastErrorText()}; }

FileResult Failed(const std::string& path = "") {
  FileResult result;
  result.reason = LastErrorText();
  result.path = path;
  return result;
}

FileResult Succeeded(const std::string& path) {
  FileResult result;
  result.ok = true;
  result.path = path;
  return result;
}

// A small varied wait, so that workstations that met on a locked file do not meet again.
DWORD VariedWait(DWORD& seed, DWORD base) {
  seed = seed * 1103515245u + 12345u;
  return base + (seed >> 16) % (base + 1);
}

}  // namespace

bool Win32FileSystem::Search(const std::string& pattern,
                             const std::function<bool(const DirEntry&)>& visit) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_NO_MORE_FILES || error == ERROR_INVALID_NAME;
  }
  do {
    const DWORD attributes = data.dwFileAttributes;
    const DirEntry entry{(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (attributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                         (attributes & FILE_ATTRIBUTE_SYSTEM) != 0};
    if (visit(entry)) break;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

// Readers share everything, so a save that replaces the file is never held up by a reader.
ReadResult Win32FileSystem::ReadAll(const std::string& path) {
  ReadResult result;
  ScopedHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    result.missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return result;
  }
  // One buffer of the file's size and a byte more, read straight into: the read that finds the
  // end needs room, and a file that grows meanwhile is read on to its new end. Only what was
  // read is handed back, also after a failure.
  LARGE_INTEGER size{};
  const bool sized = GetFileSizeEx(file.get(), &size) && size.QuadPart < (1LL << 31);
  result.bytes.resize(sized ? static_cast<std::size_t>(size.QuadPart) + 1 : 64 * 1024);
  std::size_t filled = 0;
  for (;;) {
    if (filled == result.bytes.size()) result.bytes.resize(filled * 2);
    const DWORD room =
        static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - filled, 1u << 24));
    DWORD got = 0;
    const bool read = ReadFile(file.get(), &result.bytes[filled], room, &got, nullptr) != FALSE;
    filled += got;
    if (!read || got == 0) {
      result.complete = read;
      break;
    }
  }
  result.bytes.resize(filled);
  return result;
}

// Every workstation appends to the same start log at the same minutes. Appends alone are not
// atomic on a share, and records that meet are torn or lost. So the file is opened for the
// length of one write with read sharing only: another writer gets a sharing violation and tries
// again after a short, varied wait. After about three seconds the record is given up, so a
// start-up is never held up for long.
Outcome Win32FileSystem::Append(const std::string& path, const std::string& text) {
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  DWORD waited = 0;
  const std::wstring name = Wide(path);
  for (;;) {
    ScopedHandle file(CreateFileW(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) {
      DWORD written = 0;
      const DWORD size = static_cast<DWORD>(text.size());
      if (!WriteFile(file.get(), text.data(), size, &written, nullptr)) return Failure();
      if (written != size) {
        SetLastError(ERROR_DISK_FULL);
        return Failure();
      }
      return {true, ""};
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || waited >= 3000) {
      return Failure();
    }
    const DWORD wait = VariedWait(seed, 10);
    Sleep(wait);
    waited += wait;
  }
}

FileResult Win32FileSystem::WriteTemporary(const std::string& folder, const std::string& bytes) {
  wchar_t wide_path[MAX_PATH] = {};
  if (GetTempFileNameW(Wide(folder).c_str(), L"app", 0, wide_path) == 0) return Failed();
  const std::string path = Utf8(wide_path);
  ScopedHandle file(CreateFileW(wide_path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return Failed(path);
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  if (!WriteFile(file.get(), bytes.data(), size, &written, nullptr)) return Failed(path);
  if (written != size) {
    SetLastError(ERROR_DISK_FULL);
    return Failed(path);
  }
  if (!FlushFileBuffers(file.get())) return Failed(path);
  return Succeeded(path);
}

// A client may have app.txt open at this moment; a holder that does not share deletion is
// waited for a little (about ten tries over a second and a half) before the save gives up.
//
// A read-only target is refused as Windows refuses it (Wine would replace it all the same).
FileResult Win32FileSystem::Replace(const std::string& from, const std::string& to) {
  const std::wstring source = Wide(from);
  const std::wstring target = Wide(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return Failed();
  }
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Succeeded(to);
    }
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                      error == ERROR_LOCK_VIOLATION;
    if (!held || attempt == 10) return Failed();
    Sleep(150);
  }
}

bool Win32FileSystem::Remove(const std::string& path) {
  return DeleteFileW(Wide(path).c_str()) != 0;
}

namespace {

// The UTF-8 of every byte of a single-byte ANSI code page (1252 and the other Western,
// Central European, Cyrillic, Greek... pages), so that a list in one converts in one pass.
struct AnsiTable {
  bool single_byte = false;
  unsigned char length[256] = {};
  char utf8[256][4] = {};
};

const AnsiTable& TheAnsiTable() {
  static const AnsiTable table = [] {
    AnsiTable made;
    CPINFO info{};
    made.single_byte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
    for (int byte = 0; byte < 256; ++byte) {
      const char ansi = static_cast<char>(byte);
      wchar_t wide = 0xFFFD;
      MultiByteToWideChar(CP_ACP, 0, &ansi, 1, &wide, 1);
      made.length[byte] = static_cast<unsigned char>(
          WideCharToMultiByte(CP_UTF8, 0, &wide, 1, made.utf8[byte], 4, nullptr, nullptr));
    }
    return made;
  }();
  return table;
}

}  // namespace

std::string Win32Locale::UpperCase(const std::string& text) {
  std::wstring upper = Wide(text);
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  return Utf8(upper);
}

namespace {

std::size_t Utf8Size(const AnsiTable& table, std::string_view bytes) {
  std::size_t size = 0;
  for (const char byte : bytes) size += table.length[static_cast<unsigned char>(byte)];
  return size;
}

// Each byte stores four bytes and moves on by its length; the last three store only their length,
// so that nothing is written past the end.
void FillUtf8(const AnsiTable& table, std::string_view bytes, char* out) {
  const std::size_t stores = bytes.size() < 3 ? 0 : bytes.size() - 3;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    std::memcpy(out, table.utf8[byte], i < stores ? 4 : table.length[byte]);
    out += table.length[byte];
  }
}

}  // namespace

// A code page of several bytes a character (the East Asian ones) goes through UTF-16.
std::string Win32Locale::FromAnsi(std::string_view bytes) {
  const AnsiTable& table = TheAnsiTable();
  if (!table.single_byte) {
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    if (size > 0) {
      wide.resize(static_cast<std::size_t>(
          MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), size)));
    }
    return Utf8(wide);
  }
  std::string text(Utf8Size(table, bytes), '\0');
  FillUtf8(table, bytes, text.data());
  return text;
}

// Without best fit a character the code page lacks becomes "?" and is reported, rather than
// turned into a look-alike ("C" for the Cyrillic "С"). What comes back from the code page is
// checked against what went in, so no other change passes either.
// (A machine whose ANSI code page is UTF-8 itself takes the text as it is.)
std::string Win32Locale::ToAnsi(std::string_view text, bool& exact) {
  if (GetACP() == CP_UTF8) return std::string(text);
  const std::wstring wide = Wide(text);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  std::string ansi(
      static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                   length, nullptr, 0, nullptr, nullptr)),
      '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(),
                      static_cast<int>(ansi.size()), nullptr, &used_default);
  if (used_default || FromAnsi(ansi) != text) exact = false;
  return ansi;
}

std::string Win32Processes::CurrentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  folder.resize(GetCurrentDirectoryW(size, folder.data()));
  return Utf8(folder);
}

bool Win32Processes::SetCurrentFolder(const std::string& folder) {
  return SetCurrentDirectoryW(Wide(folder).c_str()) != 0;
}

// The program file is named as the application, so exactly that file runs: handed over as a
// command line alone, a path with blanks such as D:\PROGRAM FILES\X.EXE would first be tried as
// D:\PROGRAM.EXE, which anyone who can write to D:\ could plant.
Outcome Win32Processes::Start(const std::string& program, const std::string& command_line) {
  std::wstring line = Wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return Failure();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {true, ""};
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

DateTimeSeparators Win32Clock::Separators() {
  DateTimeSeparators separators;
  wchar_t buffer[8];
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, buffer, 8) > 1)
    separators.date = Utf8(buffer);
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, buffer, 8) > 1)
    separators.time = Utf8(buffer);
  return separators;
}

std::optional<std::string> Win32Environment::Variable(const std::string& name) {
  const std::wstring wide_name = Wide(name);
  SetLastError(0);
  DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::wstring value(size, L'\0');
  size = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  value.resize(std::min<std::size_t>(size, value.size()));
  return Utf8(value);
}

// The folder as the menu was started from it, as the user and app.txt see it: the path the
// module was loaded by keeps a mapped or substituted drive letter, where the process image name
// can be the path behind it. Its long and Wine forms (\\?\, \\?\UNC\, UNC\) are turned into the
// ordinary drive or share form.
std::string Win32Environment::ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return ProgramFolderFromExePath(Utf8(path));
    }
    path.resize(path.size() * 2);  // cut off: ask again with more room
  }
}

}  // namespace marlo
