#include "main_window/master.h"

#include <algorithm>
#include <utility>

#include "launch/start_plan.h"
#include "main_window/list_file.h"
#include "main_window/pieces.h"
#include "main_window/start_log.h"

namespace marlo {
namespace {

bool IsNormalFile(const DirEntry& entry) { return !entry.folder && !entry.hidden && !entry.system; }

// app.txt is the list whatever its attributes: an admin may hide it in the share, or mark it
// read-only or a system file. Only a folder of that name is no list.
bool IsList(const DirEntry& entry) { return !entry.folder; }

}  // namespace

Master::Master(Platform& platform, MasterView& view)
    : platform_(platform),
      view_(view),
      program_folder_(platform.env.ProgramFolder()),
      root_(ClientRootOf(program_folder_, platform.env)),
      menu_(MenuListOf({}, true)),
      audiences_(std::make_shared<Audiences>(platform.identity, platform.locale)),
      looks_(
          platform, Reach{program_folder_, root_},
          [this](std::function<void()> work, std::function<void()> then) {
            view_.OffThread(Lane::kBackground, std::move(work), std::move(then));
          },
          [this] { return PathsOnScreen(); }, [this] { Looked(); },
          [this] { return start_up_ != StartUp::kReady || view_.IsMinimised(); }) {
  // Icons read together come at the pace of one through a share that is slow to answer, but each
  // look at once takes a worker of its own (about 1 MB under Wine): on the server, whose drive
  // answers at once, they are read one after another.
  if (!IsClient()) looks_.SetLooksAtOnce(1);
}

// Only a lookup that was made can tell that the list is missing. One that could not be made (a
// share that did not answer) is no reason to add a default line to the office's list: the list
// is read as it stands, and a read that fails says so. The start log goes in a lane of its own,
// handed over first: its seconds count from the start whatever the list does, and a menu closed
// while the list is still read waits for what is left of them.
void Master::Form_Load() {
  WriteStartLog();
  FileSystem& files = platform_.files;
  Locale& locale = platform_.locale;
  const std::string list = ListFilePath(program_folder_);
  auto there = std::make_shared<std::optional<bool>>();
  auto menu = std::make_shared<std::unique_ptr<MenuList>>();
  view_.OffThread(
      Lane::kFiles,
      [&files, &locale, list, there, menu, shown = Shown()] {
        *there = LookFor(files, list, IsList);
        if (*there != false) *menu = ReadMenuList(files, locale, list, shown);
      },
      [this, there, menu] { ListLoaded(*there, std::move(*menu)); });
}

void Master::ListLoaded(std::optional<bool> there, std::unique_ptr<MenuList> menu) {
  if (there == false) {
    start_up_ = StartUp::kNoList;
    WriteDefaultList();
    return;
  }
  const bool complete = menu->complete;
  const bool cut = menu->text.cut;
  // A menu that lacks entries without a word would leave its users guessing.
  ShowList(std::move(menu), [this, complete, cut] {
    if (!complete) {
      view_.ShowMessage(
          "App.txt could not be read completely. The menu shows the entries read before the "
          "failure.",
          "RMX");
    }
    if (cut) view_.ShowMessage(CutMessage(List7().size()), "RMX");
  });
}

// The entry chosen stays chosen in a new list: the same caption and path where the list still has
// them (the nearest to where it stood, should there be more), else the entry at its place, or the
// last one. The derived paths are worked out for it again; at start-up it is the first entry.
// Until the window shows the new list, the menu is the one it shows: a click or Enter there means
// an entry of that list. No look at app.txt begins meanwhile.
void Master::ShowList(std::unique_ptr<MenuList> menu, std::function<void()> after) {
  if (start_up_ == StartUp::kReadingList) start_up_ = StartUp::kPuttingListIn;
  const std::unique_ptr<MenuList> previous = std::exchange(incoming_, std::move(menu));
  view_.ShowMenu(
      incoming_->captions, [this] { MenuIn(); }, std::move(after));
}

void Master::MenuIn() {
  if (!incoming_) return;
  const int index = PlaceOfChosenEntryIn(*incoming_);
  menu_ = std::move(incoming_);
  looked_at_ = Now();
  looks_.KeepOnly(List5());
  chosen_ = -1;
  Label12 = PathAt(index);
  // Selecting by program raises the selection handler as a click would.
  if (view_.SelectMenuItem(index)) List7_Click(index);
  if (start_up_ == StartUp::kPuttingListIn) {
    start_up_ = StartUp::kOnScreen;
    view_.ShowWindowNow();
  }
  LookAgainIn(kListLookInterval);
}

int Master::PlaceOfChosenEntryIn(const MenuList& menu) const {
  if (chosen_ < 0 || menu.captions.empty()) return 0;
  const auto at = static_cast<std::size_t>(chosen_);
  const auto distance = [at](std::size_t i) { return i > at ? i - at : at - i; };
  std::optional<std::size_t> best;
  for (std::size_t i = 0; at < List7().size() && i < menu.captions.size(); ++i) {
    if (menu.captions[i] == List7()[at] && menu.paths[i] == List5()[at] &&
        (!best || distance(i) < distance(*best))) {
      best = i;
    }
  }
  return static_cast<int>(best.value_or(std::min(at, menu.captions.size() - 1)));
}

// Which entries this workstation shows is worked out with the list's read, off the window's
// thread: a group may be asked of the domain. What was found holds for the life of the menu.
AudienceTest Master::Shown() const {
  return
      [audiences = audiences_](std::string_view audience) { return audiences->Includes(audience); };
}

std::string Master::PathAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= List5().size()) return {};
  return std::string(List5()[static_cast<std::size_t>(index)]);
}

ProgramLook Master::Icon(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= List5().size()) return {};
  return looks_.Of(List5()[static_cast<std::size_t>(index)]);
}

std::vector<std::string_view> Master::PathsOnScreen() const {
  const RowsShown rows = view_.RowsOnScreen();
  const std::size_t first = std::min<std::size_t>(std::max(rows.first, 0), List5().size());
  const std::size_t count = std::min<std::size_t>(std::max(rows.count, 0), List5().size() - first);
  return {List5().begin() + first, List5().begin() + first + count};
}

// The records are written away from the window, which shows meanwhile, and only where there is a
// list: three seconds at the most for all of them, and a menu ended sooner waits for what is left
// of those seconds. Each record reads the clock anew, so the second record of a share start has
// its own time. The log stays in the ANSI code page, which the tools that read it expect.
void Master::WriteStartLog() {
  std::vector<std::string> names{LogonServerName(platform_.env.Variable("LOGONSERVER"))};
  if (IsClient()) {
    names.push_back(FolderServerName(IsShareForm(program_folder_) ? program_folder_ : root_));
  }
  const Deadline deadline = platform_.clock.After(kAppendPatience);
  FileSystem& files = platform_.files;
  Clock& clock = platform_.clock;
  Locale& locale = platform_.locale;
  view_.OffThread(
      Lane::kBackground,
      [&files, &clock, &locale, names, deadline, list = ListFilePath(program_folder_),
       log = StartLogPath(program_folder_)] {
        // A start without a list is no start of the menu (nor one whose list could not be
        // opened: its records could not be written either). Opening it for its stamp is the
        // cheapest look at a share: no folder is searched.
        if (!files.Stamp(list)) return;
        for (const std::string& name : names) {
          const std::string record = FormatStartRecord(name, clock.Now(), clock.Separators());
          bool exact = true;
          files.Append(log, locale.ToAnsi(record, exact), deadline);
        }
      },
      [] {}, deadline);
}

// Without a list the menu cannot run: a default list naming the office's sibling program
// qfact.exe is written (as a new list is: in the ANSI code page, unless the folder's name needs
// UTF-8), and the user is asked to start again. It is made only where nothing of that name is
// there yet, so it never lands in a list another workstation wrote a moment ago (which the restart
// finds just as well). When the list cannot be written (a read-only folder, a share without write
// access), starting again would not help: the user is told why instead.
void Master::WriteDefaultList() {
  view_.ShowMessage("App.txt File Not Found...", "RMX");
  const EncodedList list =
      EncodeList({{"QFACT", program_folder_ + "\\qfact.exe"}}, ListForm::kAnsi, platform_.locale);
  auto written = std::make_shared<Outcome>();
  FileSystem& files = platform_.files;
  const Deadline deadline = platform_.clock.After(kAppendPatience);
  view_.OffThread(
      Lane::kFiles,
      [&files, written, path = program_folder_ + "\\APP.txt", bytes = list.bytes] {
        *written = files.Create(path, bytes);
      },
      [this, written] {
        view_.ShowMessage(written->ok
                              ? "Please Re Start Programm..."
                              : "The default list could not be written: " + written->Message(),
                          "RMX");
        Close();
      },
      deadline);
}

// While a look or a read is out, the timer keeps turning: the window takes what came back at each
// tick, also when the notice that it came could not be posted.
void Master::Timer3_Timer() {
  if (view_.IsMinimised() || !ListIn()) return;
  if (look_out_ || incoming_) {
    LookAgainIn(kListLookInterval);
    return;
  }
  LookAtList();
}

// Restored, or back from another program: the user is about to choose, so the list is looked at
// now; only a look that ended a moment ago stands for one, and then the next look stays when it
// was due (a change already seen is read as soon as it has stood still).
void Master::Form_Activate() {
  looks_.Resume();
  if (view_.IsMinimised() || !ListIn() || look_out_ || incoming_) return;
  const std::uint64_t since = Now() - looked_at_;
  if (since >= 1000) {
    LookAtList();
    return;
  }
  const std::uint64_t still_since = change_ ? Now() - change_seen_at_ : 0;
  const auto wait =
      change_ ? static_cast<std::uint64_t>(kListStandStill.count()) -
                    std::min<std::uint64_t>(still_since, kListStandStill.count())
              : static_cast<std::uint64_t>(std::chrono::milliseconds(kListLookInterval).count()) -
                    since;
  LookAgainIn(std::chrono::milliseconds(wait));
}

// A look opens app.txt and asks it for its stamp; nothing is read while it stays the same. A
// change is read once the file has stood still for a moment.
void Master::LookAtList() {
  look_out_ = true;
  LookAgainIn(kListLookInterval);
  auto stamp = std::make_shared<std::optional<FileStamp>>();
  FileSystem& files = platform_.files;
  view_.OffThread(
      Lane::kFiles,
      [&files, stamp, list = ListFilePath(program_folder_)] { *stamp = files.Stamp(list); },
      [this, stamp] { ListLookedAt(*stamp); });
}

void Master::ListLookedAt(std::optional<FileStamp> stamp) {
  look_out_ = false;
  looked_at_ = Now();
  // Held or gone for now: what is shown stays, and the list is looked at again later.
  if (!stamp || stamp == menu_->stamp) {
    change_.reset();
    LookAgainIn(kListLookInterval);
    return;
  }
  if (stamp != change_) {
    change_ = stamp;
    change_seen_at_ = looked_at_;
  }
  const std::uint64_t still_since = looked_at_ - change_seen_at_;
  if (still_since < static_cast<std::uint64_t>(kListStandStill.count())) {
    LookAgainIn(std::chrono::milliseconds(kListStandStill.count() - still_since));
    return;
  }
  look_out_ = true;
  LookAgainIn(kListLookInterval);
  FileSystem& files = platform_.files;
  Locale& locale = platform_.locale;
  auto menu = std::make_shared<std::unique_ptr<MenuList>>();
  // A file that changed while it was read (written in place just then) was caught half-way.
  view_.OffThread(
      Lane::kFiles,
      [&files, &locale, menu, list = ListFilePath(program_folder_), shown = Shown()] {
        *menu = ReadMenuList(files, locale, list, shown);
        if (files.Stamp(list) != (*menu)->stamp) (*menu)->complete = false;
      },
      [this, menu] { ListReadAgain(std::move(*menu)); });
}

// A list that could not be read whole (held, gone, a folder) leaves the menu as it is, without a
// word: it is looked at again, and read again once it can be.
void Master::ListReadAgain(std::unique_ptr<MenuList> menu) {
  look_out_ = false;
  looked_at_ = Now();
  if (menu->complete) {
    change_.reset();
    ShowList(std::move(menu));
    return;
  }
  LookAgainIn(kListLookInterval);
}

// A minimised menu looks at nothing: an idle office makes no traffic. Restoring it looks again.
void Master::LookAgainIn(std::chrono::milliseconds delay) {
  if (!view_.IsMinimised()) view_.StartTimer3(delay);
}

void Master::List7_Click(int index) {
  chosen_ = index;
  if (Label5 == "SERVER") {
    Label12 = PathAt(index);
  }
  if (Label5 == "CLIENT") {
    Label12 = PathAt(index);
    ComputeClientPaths();
  }
}

// Options edits the list the menu shows: not before it is in and the start mode is set (on a
// client the start-mode step hides the button).
void Master::Command3_Click() {
  if (start_up_ != StartUp::kReady) return;
  view_.OpenOptions();
  Close();
}

void Master::Command5_Click() {
  view_.CloseOptions();
  Close();
}

void Master::Close() {
  start_up_ = StartUp::kClosing;
  view_.Close();
}

void Master::Form_KeyPress(int key_code) {
  if (key_code == 27) Command5_Click();
}

std::string Master::GetPiece(const std::string& text, char delimiter, int index) {
  List6 = CutPieces(text, delimiter);
  return PieceAt(List6, index);
}

bool Master::FileExists(const std::string& path) {
  return SearchFinds(platform_.files, path, IsNormalFile);
}

}  // namespace marlo
