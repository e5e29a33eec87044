// The narrow interfaces through which the menu's logic reaches the machine.
//
// Nothing here includes <windows.h>: the core is plain C++ and is tested natively against small
// fakes. Every text, path and name is UTF-8. The Win32 implementations live beside this file in
// platform_win.cpp.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace marlo {

// Attributes of one entry found by a directory search.
struct DirEntry {
  bool folder = false;
  bool hidden = false;
  bool system = false;
};

// What tells one state of a file from another without reading it: its size, its last-write time
// and which file it is (a file put in its place by a rename is another file).
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t written = 0;
  std::uint64_t identity = 0;
  bool operator==(const FileStamp& other) const {
    return size == other.size && written == other.written && identity == other.identity;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// A moment on the machine's steady clock, in milliseconds: when a patient operation gives up.
struct Deadline {
  std::uint64_t milliseconds = 0;
};

// How a call at the platform edge came out. A failed one says which system call failed
// (CreateFileW), on which file or folder, and why, in the system's code and words; a failure this
// program tells in its own words has no call. `missing`: failed because there is no such file or
// folder.
struct Outcome {
  bool ok = false;
  std::string call{};
  std::string path{};
  std::uint32_t code = 0;
  std::string text{};
  bool missing = false;

  static Outcome Failed(std::string words) { return {false, "", "", 0, std::move(words)}; }
  // What went wrong, for a message that names the file itself: the words, or the code.
  std::string Reason() const { return text.empty() ? "error " + std::to_string(code) : text; }
  // One line, as a failed call is logged: "CreateFileW(D:\MENU\APP.txt) failed, error 5: Access
  // is denied"; a failure of this program's own in its words alone.
  std::string Message() const {
    if (call.empty()) return text;
    std::string line =
        call + (path.empty() ? "" : "(" + path + ")") + " failed, error " + std::to_string(code);
    return text.empty() ? line : line + ": " + text;
  }
};

// What a whole-file read produced: the bytes read, up to the first failure. It worked when it
// reached the end of the file; a file longer than the read's limit gives the bytes up to the
// limit, and `cut`. A file that cannot be opened gives no bytes.
struct ReadResult : Outcome {
  std::string bytes{};
  bool cut = false;
  std::optional<FileStamp> stamp = std::nullopt;  // asked of the read's handle before the read
};

// What a file's replacement takes over from it: who may do what with it (its owner and access
// control list, in the system's own form; none: the folder's defaults), the attributes a list
// keeps, and when it was made (0: when the replacement was).
struct FileKeep {
  std::string security;
  bool hidden = false, system = false, not_indexed = false;
  bool archive = false;  // marked for backup
  std::uint64_t created = 0;
};

// A file as a save finds it before it takes its place; missing: nothing to take over.
struct FileLook : Outcome {
  bool read_only = false;
  FileKeep keep{};
};

// A new file (at `path`) this program holds open, shared with nobody, until it is put in place
// or let go.
struct NewFile : Outcome {
  std::uintptr_t handle = 0;  // the platform's own; 0 once let go
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Directory search for `pattern` (wildcards allowed in its last part). Calls `visit` for each
  // match until it returns true. Works when the search was made, matches or none (no such file or
  // folder); fails when it could not be (an unreachable share, no access), and nothing is visited.
  virtual Outcome Search(const std::string& pattern,
                         const std::function<bool(const DirEntry&)>& visit) = 0;

  // Reads the file, `limit` bytes at the most; stops at the first failure and hands back what was
  // read before it. A file another program holds is tried again for about 1.5 seconds.
  virtual ReadResult ReadAll(const std::string& path, std::size_t limit) = 0;

  // The stamp of a file, asked of the file itself (opened, not looked up by name: a share's client
  // answers a lookup by name from what it knew seconds ago); nothing when it cannot be opened
  // (gone, a folder, held by another program, a server that does not answer).
  virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;

  // Appends `text` to the file (created when absent) in one write, holding the file so that other
  // writers wait their turn; a file held by someone else is tried again until `deadline`, every
  // attempt counting. Fails when nothing was written.
  virtual Outcome Append(const std::string& path, const std::string& text, Deadline deadline) = 0;
  // Makes the file `path` holding `bytes`, only where nothing of that name exists yet: never into
  // a file that is there (another workstation may have made it a moment ago). Succeeds when it
  // was written whole, or when a file of that name was there already; a folder of that name is
  // a failure. A file that could not be written whole is removed; where it cannot be, the outcome
  // says so.
  virtual Outcome Create(const std::string& path, const std::string& bytes) = 0;

  // A file saved in the place of another, in steps, all through handles of this program's own.
  // What the file at `path` would hand on to its replacement; failed when that cannot be read,
  // and missing too when there is no such file.
  virtual FileLook Look(const std::string& path) = 0;
  // Creates a file of a name nobody can guess in `folder`, carrying `keep`'s security from its
  // first moment (its owner only where this user may give it), and holds it, shared with nobody.
  // Until it is put in place, the file goes when it is let go, however the program ends.
  virtual NewFile CreateNew(const std::string& folder, const FileKeep& keep) = 0;
  // Writes `bytes` to it and flushes them to disk.
  virtual Outcome WriteNew(NewFile& file, const std::string& bytes) = 0;
  // Gives it `keep`'s attributes and creation time.
  virtual Outcome KeepNew(NewFile& file, const FileKeep& keep) = 0;
  // Gives it the name `to`, in its folder, in one step, over the file of that name when `replace`
  // (a reader of `to` finds the old file or the new, never none), and lets it go. A file held by
  // someone else is tried again for about 1.5 seconds.
  virtual Outcome PlaceNew(NewFile& file, const std::string& to, bool replace) = 0;
  // Deletes it through its own handle, and lets it go.
  virtual Outcome DiscardNew(NewFile& file) = 0;
};

// A start as the platform carries it out: exactly the program file `program`, with `arguments`,
// from the working folder `folder` (none when empty).
struct StartPlan {
  std::string program;
  std::string arguments;
  std::string folder;
  bool operator==(const StartPlan& other) const {
    return program == other.program && arguments == other.arguments && folder == other.folder;
  }
};

class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts `plan` in a normal window with the focus, without waiting for it. A working folder that
  // cannot be set is passed over and the program starts without it; the process's own current
  // folder is the same afterwards as before. May wait on the program's server: runs off the
  // window's thread.
  virtual Outcome Start(const StartPlan& plan) = 0;
};

// The local date and time, and the regional date and time separators.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct DateTimeSeparators {
  std::string date = "/";
  std::string time = ":";
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  virtual DateTimeSeparators Separators() = 0;
  // The moment `patience` from now.
  virtual Deadline After(std::chrono::milliseconds patience) = 0;
};

// Text is UTF-8 throughout the program; the machine's ANSI code page is where the files written
// before UTF-8 (and the start log, which other tools read) still live.
class Locale {
 public:
  virtual ~Locale() = default;
  // `text` in upper case by the system's rules.
  virtual std::string UpperCase(const std::string& text) = 0;
  // Bytes in the ANSI code page as UTF-8.
  virtual std::string FromAnsi(std::string_view bytes) = 0;
  // UTF-8 `text` in the ANSI code page. A character the code page has no place for becomes its
  // default character ("?"), never a look-alike, and `exact` is then set to false.
  virtual std::string ToAnsi(std::string_view text, bool& exact) = 0;
};

class Environment {
 public:
  virtual ~Environment() = default;
  // The value of an environment variable; nullopt when it is not set.
  virtual std::optional<std::string> Variable(const std::string& name) = 0;
  // The folder of the running executable, drive form (D:\MENU) or share form
  // (\\FILESERVER\APPS\MENU), without a trailing backslash.
  virtual std::string ProgramFolder() = 0;
  // For a network drive (M:), where it leads: its connection (\\FILESERVER\APPS), or the empty
  // text when the system cannot tell. Nothing for a local drive.
  virtual std::optional<std::string> NetworkDrive(const std::string& drive) = 0;
};

// What is known of a listed program: not yet, there, or not there; and the picture it is shown
// with.
enum class ProgramMark { kUnknown, kFound, kMissing };

struct ProgramLook {
  ProgramMark mark = ProgramMark::kUnknown;
  std::uintptr_t icon = 0;  // the program's own icon; 0 for one without (the system's then)
};

// The pictures the windows show listed programs with.
class ProgramIcons {
 public:
  virtual ~ProgramIcons() = default;
  // The icon of the program file `path`, `size` pixels square: the file's own, or 0 when it has
  // none; nothing when there is no such file (or it cannot be opened). May wait on the file's
  // server: runs off the window's thread.
  virtual std::optional<std::uintptr_t> IconOf(const std::string& path, int size) = 0;
  // Lets an icon go.
  virtual void Free(std::uintptr_t icon) = 0;
};

// Who is at this workstation, for the entries of the list meant for some of the office only.
class Identity {
 public:
  virtual ~Identity() = default;
  // The workstation's name, as %COMPUTERNAME% shows it.
  virtual std::string ComputerName() = 0;
  // The user's account: its name (anna) and the domain or computer it belongs to (OFFICE).
  virtual std::string UserName() = 0;
  virtual std::string UserDomain() = 0;
  // Whether the user belongs to the group `name` (Administrators, Accounts, OFFICE\Accounts), as
  // the user's own token counts it, nested groups included; nothing when the name cannot be
  // looked up (no such group, no domain controller answers). May ask the domain: runs off the
  // window's thread.
  virtual std::optional<bool> InGroup(const std::string& name) = 0;
};

// Work a window hands off its thread goes in lanes, and no lane waits for another. The files lane
// does its pieces one at a time in the order they came. The background lane begins them in that
// order, up to kBackgroundAtOnce at a time (a server answers several reads together about as soon
// as one), but a piece the program's end waits for (the start log) runs alone: it waits for the
// pieces under way, and nothing begins beside it.
enum class Lane {
  kFiles,       // app.txt looked for and read, and programs started
  kBackground,  // at low priority: the start log, then what is looked up for the rows shown
};
inline constexpr int kBackgroundAtOnce = 4;

// Rows of a list that a window shows: `count` rows from row `first` (0-based), the last perhaps
// only in part.
struct RowsShown {
  int first = 0;
  int count = 0;
};

// Everything the windows' logic needs from the machine, in one bundle.
struct Platform {
  FileSystem& files;
  ProcessStarter& processes;
  Clock& clock;
  Environment& env;
  Locale& locale;
  ProgramIcons& icons;
  Identity& identity;
};

}  // namespace marlo
