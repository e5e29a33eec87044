// Small fakes of the platform and of the main window, for the unit tests.
#pragma once

#include <algorithm>
#include <cctype>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "main_window/list_file.h"
#include "main_window/master_view.h"
#include "options/optiona_view.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace fakes {

// Makes one platform call fail, or every call from it on. Calls of every kind (search, read,
// append, the steps of a save, current folder, set folder, start) are counted
// together, from 1; `kinds` records them in order.
class Faults {
 public:
  int fail_at = 0;  // 0: nothing fails
  bool from_then_on = false;
  std::vector<std::string> kinds;

  bool Fails(const char* kind) {
    kinds.push_back(kind);
    const int call = static_cast<int>(kinds.size());
    return fail_at > 0 && (call == fail_at || (from_then_on && call > fail_at));
  }
};

// A call that failed, as the platform tells it: error 2 is a file that is not there.
inline marlo::Outcome Failed(const char* call, const std::string& path, std::uint32_t code,
                             const char* text) {
  return {false, call, path, code, text, code == 2};
}

// Files by exact path. A read can be made to fail after a number of bytes.
class Files : public marlo::FileSystem {
 public:
  struct File {
    std::string bytes;
    marlo::DirEntry attributes;
    std::string security{};  // as made: a new file's is the one it was created with
    bool archive = false;
  };
  std::map<std::string, File> files;
  std::map<std::string, std::size_t> fail_read_after;  // path -> bytes read before the failure
  bool appends_fail = false;
  bool create_writes =
      true;  // false: a folder that takes a create, and refuses the write and the delete
  int searches = 0;
  std::map<std::string, int> searched;  // by pattern
  int stamps = 0;                       // files opened to ask their stamp
  int reads = 0;

  Faults* faults = nullptr;

  marlo::Outcome Search(const std::string& pattern,
                        const std::function<bool(const marlo::DirEntry&)>& visit) override {
    ++searches;
    ++searched[pattern];
    if (Fails("search")) return Failed("FindFirstFileW", pattern, 53, "no network path");
    const auto found = files.find(pattern);
    if (found != files.end()) visit(found->second.attributes);
    return {true};
  }
  // A file's stamp follows its bytes.
  std::optional<marlo::FileStamp> Stamp(const std::string& path) override {
    ++stamps;
    const auto found = files.find(path);
    if (Fails("stamp") || found == files.end() || found->second.attributes.folder) return {};
    return StampOf(found->second.bytes);
  }
  static marlo::FileStamp StampOf(const std::string& bytes) {
    return {bytes.size(), std::hash<std::string>{}(bytes), 0};
  }
  marlo::ReadResult ReadAll(const std::string& path, std::size_t limit) override {
    ++reads;
    if (Fails("read")) return {};
    const auto found = files.find(path);
    if (found == files.end()) return {Failed("CreateFileW", path, 2, "file not found")};
    const auto failing = fail_read_after.find(path);
    const std::string& bytes = found->second.bytes;
    if (failing != fail_read_after.end()) {
      return {Failed("ReadFile", path, 64, "network name gone"), bytes.substr(0, failing->second)};
    }
    return {{true}, bytes.substr(0, limit), bytes.size() > limit, StampOf(bytes)};
  }
  marlo::Outcome Append(const std::string& path, const std::string& text,
                        marlo::Deadline) override {
    if (appends_fail || Fails("append")) return Failed("CreateFileW", path, 5, "access denied");
    files[path].bytes += text;
    return {true};
  }
  // Makes the file only where nothing of that name is, in any case of its letters (Windows').
  marlo::Outcome Create(const std::string& path, const std::string& bytes) override {
    if (appends_fail || Fails("create list"))
      return Failed("CreateFileW", path, 5, "access denied");
    for (const auto& [name, file] : files) {
      if (!SameName(name, path)) continue;
      return file.attributes.folder ? Failed("CreateFileW", path, 80, "The file exists")
                                    : marlo::Outcome{true};
    }
    files[path].bytes = bytes;
    if (!create_writes) {
      files[path].bytes.clear();
      return Failed("WriteFile", path, 112,
                    "There is not enough space on the disk; the file it left could not be removed");
    }
    return {true};
  }
  static bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::toupper(static_cast<unsigned char>(x)) ==
                    std::toupper(static_cast<unsigned char>(y));
           });
  }
  // Saving: the step named in `fail_step` fails ("look", "create", "write", "keep", "replace"),
  // or "read-only" makes the list found so. The files made are held, by handle, until placed or
  // let go; one let go goes with it, as it does on Windows.
  std::string fail_step;
  std::map<std::uintptr_t, std::string> held;

  marlo::FileLook Look(const std::string& path) override {
    if (fail_step == "look" || Fails("look"))
      return {Failed("GetKernelObjectSecurity", path, 5, "")};
    const auto found = files.find(path);
    if (found == files.end()) return {Failed("CreateFileW", path, 2, "file not found")};
    marlo::FileLook look;
    look.ok = true;
    look.read_only = fail_step == "read-only";
    look.keep.security = found->second.security;
    look.keep.hidden = found->second.attributes.hidden;
    look.keep.system = found->second.attributes.system;
    return look;
  }
  marlo::NewFile CreateNew(const std::string& folder, const marlo::FileKeep& keep) override {
    if (fail_step == "create" || Fails("create")) return {Failed("CreateFileW", folder, 5, "")};
    ++temporaries;
    marlo::NewFile file{{true, "", folder + "\\app" + std::to_string(temporaries) + ".tmp"},
                        static_cast<std::uintptr_t>(temporaries)};
    files[file.path].security = keep.security;
    held[file.handle] = file.path;
    return file;
  }
  marlo::Outcome WriteNew(marlo::NewFile& file, const std::string& bytes) override {
    const bool fails = fail_step == "write" || Fails("write");
    files[held.at(file.handle)].bytes = fails ? bytes.substr(0, bytes.size() / 2) : bytes;
    return fails ? Failed("WriteFile", file.path, 112, "disk full") : marlo::Outcome{true};
  }
  marlo::Outcome KeepNew(marlo::NewFile& file, const marlo::FileKeep& keep) override {
    if (fail_step == "keep" || Fails("keep"))
      return Failed("SetFileInformationByHandle", file.path, 5, "");
    File& made = files[held.at(file.handle)];
    made.attributes.hidden = keep.hidden;
    made.attributes.system = keep.system;
    made.archive = keep.archive;
    return {true};
  }
  // As on Windows, a rename that replaces wants `to` there, one that does not wants it not there.
  marlo::Outcome PlaceNew(marlo::NewFile& file, const std::string& to, bool replace) override {
    const char* rename = "SetFileInformationByHandle";
    if (fail_step == "replace" || Fails("place"))
      return Failed(rename, to, 32, "sharing violation");
    if (files.count(to) != (replace ? 1u : 0u)) return Failed(rename, to, replace ? 2 : 183, "");
    files[to] = files[held.at(file.handle)];
    files.erase(held.at(file.handle));
    held.erase(file.handle);
    file.handle = 0;
    return {true};
  }
  marlo::Outcome DiscardNew(marlo::NewFile& file) override {
    const bool fails = Fails("discard");
    files.erase(held.at(file.handle));
    held.erase(file.handle);
    file.handle = 0;
    return fails ? Failed("SetFileInformationByHandle", file.path, 5, "") : marlo::Outcome{true};
  }
  int temporaries = 0;

  std::string Text(const std::string& path) const {
    const auto found = files.find(path);
    return found == files.end() ? "<missing>" : found->second.bytes;
  }

 private:
  bool Fails(const char* kind) { return faults != nullptr && faults->Fails(kind); }
};

// Records "start <program>|<command line> in <working folder>" for each start, in order.
class Processes : public marlo::ProcessStarter {
 public:
  std::vector<std::string> log;
  bool starts_fail = false;
  Faults* faults = nullptr;

  marlo::Outcome Start(const marlo::StartPlan& plan) override {
    log.push_back("start " + plan.program + "|" +
                  marlo::CommandLineOf({plan.program, plan.arguments}) + " in " + plan.folder);
    if (!starts_fail && !Fails("start")) return {true};
    return Failed("CreateProcessW", plan.program, 2, "The system cannot find the file specified");
  }

 private:
  bool Fails(const char* kind) { return faults != nullptr && faults->Fails(kind); }
};

// Icons of the program files in `with_icons`, counted by file: each icon handed out has a number
// of its own, and is let go once. A file that `files` does not have has no icon to read.
class Icons : public marlo::ProgramIcons {
 public:
  const Files* files = nullptr;
  std::set<std::string> with_icons;
  std::map<std::string, int> looks;           // files asked for, and how often
  std::map<std::uintptr_t, std::string> out;  // icons handed out and not let go
  int size = 0;                               // of the last icon asked for
  // Told of each file as it is asked for.
  std::function<void(const std::string&)> looking;
  std::optional<std::uintptr_t> IconOf(const std::string& path, int pixels) override {
    ++looks[path];
    if (looking) looking(path);
    size = pixels;
    const auto file = files->files.find(path);
    if (file == files->files.end() || file->second.attributes.folder) return std::nullopt;
    if (with_icons.count(path) == 0) return 0;
    out[++made] = path;
    return made;
  }
  void Free(std::uintptr_t icon) override {
    if (out.erase(icon) != 1) ++bad_frees;
  }
  std::uintptr_t made = 0;
  int bad_frees = 0;
};

// A clock whose local time moves one second at every reading; its steady time (`ticks`, in
// milliseconds) moves only when a test moves it.
class Clock : public marlo::Clock {
 public:
  std::uint64_t ticks = 0;
  marlo::LocalTime now{2026, 12, 7, 9, 5, 3};
  marlo::DateTimeSeparators separators;
  marlo::LocalTime Now() override {
    const marlo::LocalTime reading = now;
    ++now.second;
    return reading;
  }
  marlo::DateTimeSeparators Separators() override { return separators; }
  marlo::Deadline After(std::chrono::milliseconds patience) override {
    return {ticks + static_cast<std::uint64_t>(patience.count())};
  }
};

class Environment : public marlo::Environment {
 public:
  std::map<std::string, std::string> variables;
  std::map<std::string, std::string> network_drives;  // drive -> connection ("" when unknown)
  std::string folder = "D:\\MENU";
  std::optional<std::string> Variable(const std::string& name) override {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  }
  std::string ProgramFolder() override { return folder; }
  std::optional<std::string> NetworkDrive(const std::string& drive) override {
    const auto found = network_drives.find(drive);
    if (found == network_drives.end()) return std::nullopt;
    return found->second;
  }
};

// Upper case of ASCII letters only. The ANSI code page is Latin-1: byte b is U+00b.
class Locale : public marlo::Locale {
 public:
  std::string UpperCase(const std::string& text) override {
    std::string upper = text;
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
  }
  std::string FromAnsi(std::string_view bytes) override {
    std::string text;
    for (const char c : bytes) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x80) {
        text += c;
      } else {
        text += static_cast<char>(0xC0 | (b >> 6));
        text += static_cast<char>(0x80 | (b & 0x3F));
      }
    }
    return text;
  }
  // Code points up to U+00FF are one byte each; anything else (and any byte that is not UTF-8)
  // becomes "?".
  std::string ToAnsi(std::string_view text, bool& exact) override {
    std::string bytes;
    for (std::size_t at = 0; at < text.size(); ++at) {
      const auto b = static_cast<unsigned char>(text[at]);
      const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
      if (b < 0x80) {
        bytes += text[at];
      } else if ((b == 0xC2 || b == 0xC3) && (next & 0xC0) == 0x80) {
        bytes += static_cast<char>(((b & 0x03) << 6) | (next & 0x3F));
        ++at;
      } else {
        bytes += '?';
        exact = false;
        while (at + 1 < text.size() && (static_cast<unsigned char>(text[at + 1]) & 0xC0) == 0x80)
          ++at;
      }
    }
    return bytes;
  }
};

// A workstation, its user and the groups the user is in (by name in upper case: Windows looks
// names up in any case); any other group cannot be looked up. Every group asked is noted.
class Identity : public marlo::Identity {
 public:
  std::string computer = "SALES-01", user = "anna", domain = "OFFICE";
  std::map<std::string, bool> groups;
  std::vector<std::string> asked;
  std::string ComputerName() override { return computer; }
  std::string UserName() override { return user; }
  std::string UserDomain() override { return domain; }
  std::optional<bool> InGroup(const std::string& name) override {
    asked.push_back(name);
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto found = groups.find(upper);
    if (found == groups.end()) return std::nullopt;
    return found->second;
  }
};

// Work handed off a window's thread, as the fakes hand it: each piece is done and what follows it
// comes back in the order the pieces were handed over, when the queue is turned. By itself it
// turns at each hand-over, but never inside a piece coming back (no handler runs inside another),
// and not while `hold` is set (then RunHeldWork turns it, or RunNext lets one piece go, of a lane
// if named: the lanes come back in any order); with `begun_when_handed` too, each piece is done
// as it is handed over (a worker that was free) and only what follows waits. The pieces of a lane
// in `stuck` wait (a server that does not answer) until it is taken out.
class WorkQueue {
 public:
  struct Piece {
    marlo::Lane lane;
    std::function<void()> work, then;
    bool owed = false;  // the program's end waits for it
  };
  std::deque<Piece> pieces;
  std::vector<marlo::Lane> stuck;
  bool hold = false;
  bool begun_when_handed = false;
  std::optional<marlo::Deadline> last_finish_by;  // of the last work the program must finish
  std::vector<marlo::Lane> lanes;                 // of every piece handed over, in order

  void Hand(marlo::Lane lane, std::function<void()> work, std::function<void()> then,
            std::optional<marlo::Deadline> finish_by) {
    if (finish_by) last_finish_by = finish_by;
    lanes.push_back(lane);
    if (begun_when_handed) {
      work();
      work = [] {};
    }
    pieces.push_back({lane, std::move(work), std::move(then), finish_by.has_value()});
    if (!hold && !turning_) RunHeldWork();
  }
  void RunHeldWork() {
    turning_ = true;
    while (RunNext()) {
    }
    turning_ = false;
  }
  // Runs the next piece that can run; false when there is none.
  bool RunNext(std::optional<marlo::Lane> lane = std::nullopt) {
    const auto piece = std::find_if(pieces.begin(), pieces.end(), [&](const Piece& piece) {
      return (!lane || piece.lane == *lane) &&
             std::find(stuck.begin(), stuck.end(), piece.lane) == stuck.end();
    });
    if (piece == pieces.end()) return false;
    Piece taken = std::move(*piece);
    pieces.erase(piece);
    taken.work();
    taken.then();
    return true;
  }
  // The window went: nothing held comes back, and only what the end waits for is still done.
  void Gone() {
    pieces.erase(
        std::remove_if(pieces.begin(), pieces.end(), [](auto& piece) { return !piece.owed; }),
        pieces.end());
    for (Piece& piece : pieces) piece.then = [] {};
  }
  std::size_t Waiting(marlo::Lane lane) const {
    return static_cast<std::size_t>(std::count_if(
        pieces.begin(), pieces.end(), [lane](const Piece& piece) { return piece.lane == lane; }));
  }

 private:
  bool turning_ = false;
};

// Records what the main window was asked to show or do, in order. A menu handed over is in at
// once, unless `hold_fill` keeps it being filled (FinishFill puts it in).
class MasterView : public marlo::MasterView, public WorkQueue {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> menu;
  int selection = -1;
  std::string mode;
  int redraws = 0;
  bool starting = false;
  bool hold_fill = false;
  struct Fill {
    std::vector<std::string> captions;
    std::function<void()> in, shown;
  };
  std::optional<Fill> filling;

  void ShowMessage(const std::string& text, const std::string& title) override {
    calls.push_back("message " + title + ": " + text);
  }
  void ShowMenu(const std::vector<std::string_view>& captions, std::function<void()> in,
                std::function<void()> shown) override {
    filling = Fill{{captions.begin(), captions.end()}, std::move(in), std::move(shown)};
    if (!hold_fill) FinishFill();
  }
  void FinishFill() {
    Fill fill = std::move(*filling);
    filling.reset();
    menu = std::move(fill.captions);
    selection = -1;
    fill.in();
    fill.shown();
  }
  void RedrawMenu() override { ++redraws; }
  // All the menu's rows, unless a test scrolls it.
  marlo::RowsShown rows_on_screen{0, std::numeric_limits<int>::max()};
  marlo::RowsShown RowsOnScreen() override { return rows_on_screen; }
  bool SelectMenuItem(int index) override {
    if (index < 0 || static_cast<std::size_t>(index) >= menu.size()) return false;
    selection = index;
    return true;
  }
  void ShowMode(const std::string& text) override { mode = text; }
  void HideOptionsAndExit() override { calls.push_back("hide options and exit"); }
  bool MakeTopMost() override {
    calls.push_back("topmost");
    return true;
  }
  void StopTimer2() override { calls.push_back("stop timer"); }
  void StartTimer3(std::chrono::milliseconds delay) override { timer3 = delay; }
  void Minimise() override {
    calls.push_back("minimise");
    minimised = true;
  }
  bool IsMinimised() override { return minimised; }
  void ShowWindowNow() override { shown = true; }
  void ShowStarting(bool now) override { starting = now; }
  void OffThread(marlo::Lane lane, std::function<void()> work, std::function<void()> then,
                 std::optional<marlo::Deadline> finish_by) override {
    Hand(lane, std::move(work), std::move(then), finish_by);
  }
  std::optional<std::chrono::milliseconds> timer3;
  bool minimised = false;
  bool shown = false;
  void OpenOptions() override { calls.push_back("open options"); }
  void CloseOptions() override { calls.push_back("close options"); }
  void Close() override {
    calls.push_back("close");
    Gone();
  }
};

// The Options window as the user sees it: rows, selection, fields and what it said. Questions
// are answered from `answers`, in order.
class OptionaView : public marlo::OptionaView, public WorkQueue {
 public:
  std::vector<marlo::ListEntry> rows;
  std::optional<int> selected;
  std::string name, path, audience, position;
  std::optional<std::string> browse_result;
  bool delete_enabled = false;
  std::vector<std::string> calls;
  std::vector<marlo::Answer> answers;
  int redraws = 0;

  void ShowRows(const std::vector<marlo::ListEntry>& shown, std::optional<int> selection) override {
    rows = shown;
    selected = selection;
  }
  std::optional<int> SelectedRow() override { return selected; }
  std::string NameField() override { return name; }
  std::string PathField() override { return path; }
  void SetNameField(const std::string& text) override { name = text; }
  void SetPathField(const std::string& text) override { path = text; }
  std::string AudienceField() override { return audience; }
  void SetAudienceField(const std::string& text) override { audience = text; }
  void ShowPosition(const std::string& text) override { position = text; }
  void EnableDelete() override { delete_enabled = true; }
  void ShowMessage(const std::string& text, const std::string& title) override {
    calls.push_back("message " + title + ": " + text);
  }
  marlo::Answer Ask(const std::string& text, const std::string& title, bool with_cancel) override {
    calls.push_back(std::string(with_cancel ? "ask3 " : "ask2 ") + title + ": " + text);
    if (answers.empty()) return marlo::Answer::kCancel;
    const marlo::Answer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::optional<std::string> Browse(const std::string& filter) override {
    calls.push_back("browse " + filter);
    return browse_result;
  }
  void RedrawRows() override { ++redraws; }
  marlo::RowsShown RowsOnScreen() override { return {0, std::numeric_limits<int>::max()}; }
  void OffThread(std::function<void()> work, std::function<void()> then) override {
    Hand(marlo::Lane::kBackground, std::move(work), std::move(then), std::nullopt);
  }
  void OpenMain() override { calls.push_back("open main"); }
  void CloseMain() override { calls.push_back("close main"); }
  void Close() override { calls.push_back("close"); }
};

// A whole platform of fakes, ready to hand to a window.
struct Machine {
  Machine() {
    files.faults = &faults;
    processes.faults = &faults;
    icons.files = &files;
  }
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  Faults faults;
  Files files;
  Processes processes;
  Clock clock;
  Environment env;
  Locale locale;
  Icons icons;
  Identity identity;
  marlo::Platform platform{files, processes, clock, env, locale, icons, identity};
};

}  // namespace fakes
