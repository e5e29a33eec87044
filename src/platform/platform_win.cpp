#include "platform/platform_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "platform/system_libraries_win.h"
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
  void Reset(HANDLE handle) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

// The failure of `call` on `path`: the error (the last one unless told) and the system's own
// words for it, without the final full stop and line end. The call's name is a pointer and the
// path a reference, so that nothing is made between the call and the reading of its error.
Outcome Failure(const char* call, const std::string& path, DWORD error = GetLastError()) {
  wchar_t buffer[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, buffer, 512, nullptr);
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ' || buffer[length - 1] == L'.')) {
    --length;
  }
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return {false, call, path, error, Utf8({buffer, length}), missing};
}

// What a call that answered `worked` came to.
Outcome Checked(bool worked, const char* call, const std::string& path) {
  return worked ? Outcome{true} : Failure(call, path);
}

// Whether the file goes when its last handle is closed.
bool GoesOnClose(HANDLE file, bool goes) {
  FILE_DISPOSITION_INFO disposition{goes};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// How long a file another program holds (a backup, a virus scan, an editor) is waited for.
constexpr std::chrono::milliseconds kHeldPatience{1500};

bool Held(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// A file that another program holds is refused to a rename that would replace it.
bool HeldOrReplaceRefused(DWORD error) { return Held(error) || error == ERROR_ACCESS_DENIED; }

// The tick count, not the C++ steady clock: that one would bring in a runtime part that calls an
// ANSI function.
Deadline TickDeadline(std::chrono::milliseconds patience) {
  return {GetTickCount64() + static_cast<std::uint64_t>(patience.count())};
}

Deadline HeldDeadline() { return TickDeadline(kHeldPatience); }

bool Past(Deadline deadline) { return GetTickCount64() >= deadline.milliseconds; }

// Tries `attempt` until it works, fails for a reason that waiting does not mend (`passes` says
// which errors do), or `deadline` comes. The waits grow: 10 to 20 ms at first, twice as long each
// time, 200 ms at the most, never beyond the deadline; a server that is busy is not asked again
// and again, and a file freed soon is taken soon. They vary, so that workstations that met on a
// file do not meet again at the next attempt.
template <typename Passes, typename Attempt>
auto Retried(Deadline deadline, Passes passes, Attempt attempt) {
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (std::uint64_t step = 10;; step = std::min<std::uint64_t>(step * 2, 100)) {
    auto outcome = attempt();
    const std::uint64_t now = GetTickCount64();
    if (outcome.ok || !passes(outcome.code) || now >= deadline.milliseconds) return outcome;
    seed = seed * 1103515245u + 12345u;
    const std::uint64_t wait = step + (seed >> 16) % (step + 1);
    Sleep(static_cast<DWORD>(std::min(wait, deadline.milliseconds - now)));
  }
}

// Writes `bytes` in one call; a write that stops short is a full disk.
Outcome WriteWhole(HANDLE file, const std::string& bytes, const std::string& path) {
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  if (!WriteFile(file, bytes.data(), size, &written, nullptr)) return Failure("WriteFile", path);
  if (written != size) return Failure("WriteFile", path, ERROR_DISK_FULL);
  return {true};
}

// Size, last-write time and identity of an open file; nothing for a folder.
std::optional<FileStamp> StampOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
  };
  return FileStamp{
      join(information.nFileSizeHigh, information.nFileSizeLow),
      join(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime),
      join(information.nFileIndexHigh, information.nFileIndexLow) ^
          (static_cast<std::uint64_t>(information.dwVolumeSerialNumber) << 32)};
}

// One read of up to `limit` bytes of the file `path` (`name` in UTF-16).
ReadResult ReadOnce(const std::wstring& name, const std::string& path, std::size_t limit) {
  ScopedHandle file(CreateFileW(name.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return {Failure("CreateFileW", path)};
  ReadResult result;
  result.stamp = StampOf(file.get());
  // One buffer of the file's size (up to the limit) and a byte more, read straight into: the
  // read that finds the end needs room, a file that grows meanwhile is read on to its new end,
  // and a byte beyond the limit tells that the file is longer. Only what was read is handed
  // back, also after a failure.
  LARGE_INTEGER size{};
  const std::size_t expected =
      GetFileSizeEx(file.get(), &size) && static_cast<unsigned long long>(size.QuadPart) < limit
          ? static_cast<std::size_t>(size.QuadPart)
          : std::min<std::size_t>(limit, 64 * 1024);
  result.bytes.resize(expected + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == result.bytes.size()) {
      if (filled > limit) break;
      result.bytes.resize(std::min(filled * 2, limit + 1));
    }
    const DWORD room =
        static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - filled, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(file.get(), &result.bytes[filled], room, &got, nullptr)) {
      static_cast<Outcome&>(result) = Failure("ReadFile", path);
      filled += got;
      break;
    }
    filled += got;
    if (got == 0) {
      result.ok = true;
      break;
    }
  }
  if (filled > limit) {
    result.ok = result.cut = true;
    filled = limit;
  }
  result.bytes.resize(filled);
  return result;
}

// 64 bits from the system's random source, as hexadecimal digits.
std::string RandomHex() {
  unsigned long long number = 0;
  if (!RandomFromSystem(&number, sizeof number)) {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    number = static_cast<unsigned long long>(counter.QuadPart) ^ GetCurrentProcessId();
  }
  std::string hex(16, '0');
  for (auto digit = hex.rbegin(); digit != hex.rend(); ++digit, number >>= 4) {
    *digit = "0123456789abcdef"[number & 15];
  }
  return hex;
}

}  // namespace

Outcome Win32FileSystem::Search(const std::string& pattern,
                                const std::function<bool(const DirEntry&)>& visit) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    const Outcome failed = Failure("FindFirstFileW", pattern);
    const bool none =
        failed.missing || failed.code == ERROR_NO_MORE_FILES || failed.code == ERROR_INVALID_NAME;
    return none ? Outcome{true} : failed;
  }
  do {
    const DWORD attributes = data.dwFileAttributes;
    const DirEntry entry{(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (attributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                         (attributes & FILE_ATTRIBUTE_SYSTEM) != 0};
    if (visit(entry)) break;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return {true};
}

// Readers share everything, so a save that replaces the file is never held up by a reader. A file
// another program holds open without sharing reading is waited for, rather than taken for a list
// that could not be read.
ReadResult Win32FileSystem::ReadAll(const std::string& path, std::size_t limit) {
  const std::wstring name = Wide(path);
  return Retried(HeldDeadline(), Held, [&] { return ReadOnce(name, path, limit); });
}

// Opened for its attributes alone, sharing everything: no program that holds the file is in the
// way, and none is held up. A folder does not open this way and gives no stamp.
std::optional<FileStamp> Win32FileSystem::Stamp(const std::string& path) {
  ScopedHandle file(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() ? StampOf(file.get()) : std::nullopt;
}

// Every workstation appends to the same start log at the same minutes. Appends alone are not
// atomic on a share, and records that meet are torn or lost. So the file is opened for the
// length of one write with read sharing only: another writer gets a sharing violation and tries
// again after a short, varied wait, until the deadline: a record not written by then is given
// up, so a start-up is never held up for long, however slowly the server answers.
Outcome Win32FileSystem::Append(const std::string& path, const std::string& text,
                                Deadline deadline) {
  if (Past(deadline)) return Failure("CreateFileW", path, ERROR_TIMEOUT);
  const std::wstring name = Wide(path);
  return Retried(deadline, Held, [&] {
    ScopedHandle file(CreateFileW(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() ? WriteWhole(file.get(), text, path) : Failure("CreateFileW", path);
  });
}

// CREATE_NEW: the file is made only where nothing of that name is, in one step with the check, so
// that of two workstations starting together in a folder without a list only one writes it, and
// never into a list that is there. It is held, shared with nobody, while it is written (another
// workstation reading it waits its turn), and goes again when the writing fails: whole or not at
// all. (Where this user may create the file but not delete it, it is made without DELETE access
// and deleted by name after a failure.)
Outcome Win32FileSystem::Create(const std::string& path, const std::string& bytes) {
  const std::wstring name = Wide(path);
  ScopedHandle file(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool may_delete = file.valid();
  if (!may_delete && GetLastError() == ERROR_ACCESS_DENIED) {
    file.Reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!file.valid()) {
    const Outcome failed = Failure("CreateFileW", path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    const bool there = failed.code == ERROR_FILE_EXISTS || failed.code == ERROR_ALREADY_EXISTS;
    const bool list_there = there && attributes != INVALID_FILE_ATTRIBUTES &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return list_there ? Outcome{true} : failed;
  }
  Outcome written = WriteWhole(file.get(), bytes, path);
  // A folder where users may create files but not delete them keeps what could not be written:
  // the admin must hear of it, or every menu would show an empty list.
  if (!written.ok && (!may_delete || !GoesOnClose(file.get(), true))) {
    file.Reset(INVALID_HANDLE_VALUE);
    if (!DeleteFileW(name.c_str())) written.text += "; the file it left could not be removed";
  }
  return written;
}

namespace {

HANDLE HandleOf(const NewFile& file) { return reinterpret_cast<HANDLE>(file.handle); }

void LetGo(NewFile& file) {
  CloseHandle(HandleOf(file));
  file.handle = 0;
}

// `descriptor`'s access control list without its owner, in `out` (which points into it).
bool WithoutOwner(const std::string& descriptor, SECURITY_DESCRIPTOR& out) {
  auto* whole = const_cast<char*>(descriptor.data());
  BOOL present = FALSE, defaulted = FALSE;
  PACL list = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  const SECURITY_DESCRIPTOR_CONTROL inheritance = SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED;
  return InitializeSecurityDescriptor(&out, SECURITY_DESCRIPTOR_REVISION) &&
         GetSecurityDescriptorDacl(whole, &present, &list, &defaulted) &&
         SetSecurityDescriptorDacl(&out, present, list, defaulted) &&
         GetSecurityDescriptorControl(whole, &control, &revision) &&
         SetSecurityDescriptorControl(&out, inheritance, control & inheritance);
}

// A path as the system's own rename takes it: \??\D:\... or \??\UNC\server\...
std::wstring SystemPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  if (wide.rfind(L"\\\\?\\", 0) == 0) return L"\\??\\" + wide.substr(4);
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + wide.substr(2);
  return L"\\??\\" + wide;
}

// Errors of a file system that cannot rename through a handle.
bool CannotRenameByHandle(DWORD error) {
  return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
         error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

// Moves `from` to `to` by name in one step, written through; a file another program holds is
// waited for a little.
Outcome MoveWhenFree(const std::string& from, const std::string& to, DWORD flags) {
  const std::wstring source = Wide(from);
  const std::wstring target = Wide(to);
  return Retried(HeldDeadline(), HeldOrReplaceRefused, [&] {
    return Checked(MoveFileExW(source.c_str(), target.c_str(), flags | MOVEFILE_WRITE_THROUGH),
                   "MoveFileExW", to);
  });
}

}  // namespace

// Read through a handle of its own, which asks the file's server rather than a cache of names,
// and which wants no access that sharing could refuse: a list another program holds is looked at
// all the same.
FileLook Win32FileSystem::Look(const std::string& path) {
  ScopedHandle file(CreateFileW(Wide(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return {Failure("CreateFileW", path)};
  FileLook look;
  const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  GetKernelObjectSecurity(file.get(), wanted, nullptr, 0, &size);
  look.keep.security.resize(size);
  if (size == 0 ||
      !GetKernelObjectSecurity(file.get(), wanted, look.keep.security.data(), size, &size)) {
    return {Failure("GetKernelObjectSecurity", path)};
  }
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)) {
    return {Failure("GetFileInformationByHandleEx", path)};
  }
  const DWORD attributes = basic.FileAttributes;
  look.ok = true;
  look.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  look.keep.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  look.keep.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
  look.keep.not_indexed = (attributes & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) != 0;
  look.keep.created = static_cast<std::uint64_t>(basic.CreationTime.QuadPart);
  return look;
}

// The new list is made under a name nobody can guess (CREATE_NEW: never a file someone put there),
// with app.txt's owner and access control list from the start, and held on the one handle that
// made it, shared with nobody: no other user can open it, put a file of their own in its place or
// see it half written. An owner this user may not give (another user) is left to the system.
// Marked to go when its handle closes, it goes also when the program ends half way.
NewFile Win32FileSystem::CreateNew(const std::string& folder, const FileKeep& keep) {
  SECURITY_DESCRIPTOR without_owner;
  SECURITY_ATTRIBUTES like{sizeof like, nullptr, FALSE};
  if (!keep.security.empty()) like.lpSecurityDescriptor = const_cast<char*>(keep.security.data());
  for (int attempt = 1;; ++attempt) {
    const std::string path = folder + "\\app" + RandomHex() + ".tmp";
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE | DELETE, 0, &like, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const NewFile failed{Failure("CreateFileW", path)};
      if (failed.code == ERROR_INVALID_OWNER && like.lpSecurityDescriptor != &without_owner &&
          WithoutOwner(keep.security, without_owner)) {
        like.lpSecurityDescriptor = &without_owner;
        continue;
      }
      if (failed.code == ERROR_FILE_EXISTS && attempt < 4) continue;  // a name met by chance
      return failed;
    }
    GoesOnClose(handle, true);
    return {{true, "", path}, reinterpret_cast<std::uintptr_t>(handle)};
  }
}

Outcome Win32FileSystem::WriteNew(NewFile& file, const std::string& bytes) {
  const Outcome written = WriteWhole(HandleOf(file), bytes, file.path);
  if (!written.ok) return written;
  return Checked(FlushFileBuffers(HandleOf(file)), "FlushFileBuffers", file.path);
}

// Attributes and creation time through the handle; a time left at 0 stays as it is.
Outcome Win32FileSystem::KeepNew(NewFile& file, const FileKeep& keep) {
  FILE_BASIC_INFO basic{};
  basic.CreationTime.QuadPart = static_cast<LONGLONG>(keep.created);
  basic.FileAttributes = (keep.hidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
                         (keep.system ? FILE_ATTRIBUTE_SYSTEM : 0) |
                         (keep.not_indexed ? FILE_ATTRIBUTE_NOT_CONTENT_INDEXED : 0) |
                         (keep.archive ? FILE_ATTRIBUTE_ARCHIVE : 0);
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;  // 0: unchanged
  return Checked(SetFileInformationByHandle(HandleOf(file), FileBasicInfo, &basic, sizeof basic),
                 "SetFileInformationByHandle", file.path);
}

// The rename is made on the file's own handle: nothing between its writing and its new name
// goes by name. Only for the moment of each attempt is the file kept when its handle closes. A
// file system that cannot rename through a handle gets the file moved by name, after its handle
// is closed: it carries app.txt's access control list by then, so only those who may change
// app.txt itself could step in. (ReplaceFileW is not used: under Wine it moves app.txt away
// before the new list is in place, and a client starting in that moment finds no list.)
Outcome Win32FileSystem::PlaceNew(NewFile& file, const std::string& to, bool replace) {
  const std::wstring target = SystemPath(to);
  const DWORD size = static_cast<DWORD>(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
  std::string buffer(size, '\0');
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = replace;
  rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  std::memcpy(rename->FileName, target.data(), rename->FileNameLength);
  // Only a rename refused as such goes by name: a file whose mark to go on close could not be
  // taken off would be gone once its handle closed.
  bool by_name = false;
  const Outcome placed = Retried(HeldDeadline(), HeldOrReplaceRefused, [&] {
    by_name = false;
    if (!GoesOnClose(HandleOf(file), false))
      return Failure("SetFileInformationByHandle", file.path);
    const Outcome renamed =
        Checked(SetFileInformationByHandle(HandleOf(file), FileRenameInfo, rename, size),
                "SetFileInformationByHandle", to);
    by_name = !renamed.ok && CannotRenameByHandle(renamed.code);
    if (!renamed.ok && !by_name) GoesOnClose(HandleOf(file), true);
    return renamed;
  });
  if (placed.ok || by_name) LetGo(file);
  return by_name ? MoveWhenFree(file.path, to, replace ? MOVEFILE_REPLACE_EXISTING : 0) : placed;
}

// Through the handle that made the file, which may delete it whatever access list it carries.
// A file already let go (its move by name failed) is deleted by name.
Outcome Win32FileSystem::DiscardNew(NewFile& file) {
  if (file.handle == 0)
    return Checked(DeleteFileW(Wide(file.path).c_str()), "DeleteFileW", file.path);
  const Outcome gone =
      Checked(GoesOnClose(HandleOf(file), true), "SetFileInformationByHandle", file.path);
  LetGo(file);
  return gone;
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

// How many bytes are above 0x7F, eight at a time: each of them becomes two or three bytes of UTF-8.
std::size_t HighBytes(std::string_view bytes) {
  std::size_t high = 0, at = 0;
  for (std::uint64_t word; at + 8 <= bytes.size(); at += 8) {
    std::memcpy(&word, bytes.data() + at, 8);
    high += static_cast<std::size_t>(
        (((word >> 7) & 0x0101010101010101ull) * 0x0101010101010101ull) >> 56);
  }
  for (; at < bytes.size(); ++at) high += static_cast<unsigned char>(bytes[at]) >> 7;
  return high;
}

// Each byte stores four bytes and moves on by its length (`out` has room for three bytes more).
char* FillUtf8(const AnsiTable& table, std::string_view bytes, char* out) {
  for (const char ansi : bytes) {
    const auto byte = static_cast<unsigned char>(ansi);
    std::memcpy(out, table.utf8[byte], 4);
    out += table.length[byte];
  }
  return out;
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
  // Room for the longest text the bytes can give, reserved but not touched, and filled a piece at
  // a time: the memory the text takes is only what it needs.
  std::string text;
  text.reserve(bytes.size() + 2 * HighBytes(bytes));
  char piece[3 * 4096 + 3];
  for (std::size_t at = 0; at < bytes.size(); at += 4096) {
    const char* end = FillUtf8(table, bytes.substr(at, 4096), piece);
    text.append(piece, static_cast<std::size_t>(end - piece));
  }
  return text;
}

// Without best fit a character the code page lacks becomes "?", rather than a look-alike ("C" for
// the Cyrillic "С"). Whether the text is exact is told by converting back: what comes back from
// the code page must be what went in, which no "?" and no other change passes.
// (A machine whose ANSI code page is UTF-8 itself takes the text as it is.)
std::string Win32Locale::ToAnsi(std::string_view text, bool& exact) {
  if (GetACP() == CP_UTF8) return std::string(text);
  const std::wstring wide = Wide(text);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  std::string ansi(
      static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                   length, nullptr, 0, nullptr, nullptr)),
      '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(),
                      static_cast<int>(ansi.size()), nullptr, nullptr);
  if (FromAnsi(ansi) != text) exact = false;
  return ansi;
}

namespace {

std::wstring CurrentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  folder.resize(GetCurrentDirectoryW(size, folder.data()));
  return folder;
}

}  // namespace

// The program file is named as the application, so exactly that file runs: handed over as a
// command line alone, a path with blanks such as D:\PROGRAM FILES\X.EXE would first be tried as
// D:\PROGRAM.EXE, which anyone who can write to D:\ could plant. The program gets its working
// folder through this process's current folder, which is put back right after the start: a
// workstation's menu must not hold a program's folder on the server open. (A folder handed to
// CreateProcessW itself is not used for a share folder by every platform.) A folder that cannot be
// set is passed over and the program starts without it.
Outcome Win32Processes::Start(const StartPlan& plan) {
  const std::wstring own_folder = CurrentFolder();
  const bool moved =
      !plan.folder.empty() && SetCurrentDirectoryW(Wide(plan.folder).c_str()) != FALSE;
  std::wstring line = Wide(CommandLineOf({plan.program, plan.arguments}));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(Wide(plan.program).c_str(), line.data(), nullptr, nullptr,
                                      FALSE, 0, nullptr, nullptr, &startup, &process) != FALSE;
  const Outcome outcome = Checked(started, "CreateProcessW", plan.program);
  if (started) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (moved && !own_folder.empty()) SetCurrentDirectoryW(own_folder.c_str());
  return outcome;
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

Deadline Win32Clock::After(std::chrono::milliseconds patience) { return TickDeadline(patience); }

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

// A mapped drive: where it leads is asked of the network provider, which under Wine (and for a
// connection the system has lost) cannot tell.
std::optional<std::string> Win32Environment::NetworkDrive(const std::string& drive) {
  const std::wstring name = Wide(drive);
  if (GetDriveTypeW((name + L"\\").c_str()) != DRIVE_REMOTE) return std::nullopt;
  wchar_t connection[MAX_PATH * 2] = {};
  DWORD length = MAX_PATH * 2;
  if (WNetGetConnectionFromSystem(name.c_str(), connection, &length) != NO_ERROR) return "";
  return Utf8(connection);
}

}  // namespace marlo
