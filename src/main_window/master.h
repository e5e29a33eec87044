// Master, the main window: its working state and its handlers.
//
// The state is kept as the texts and lists the handlers read and write by name. The handlers of
// the start-mode step (Timer2_Timer, ComputeClientPaths) live in master_start_mode.cpp, those of
// starting a program (Command1_Click, List7_DblClick) in master_start.cpp; what they work out is
// in launch/.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launch/program_looks.h"
#include "launch/start_program.h"
#include "main_window/audience.h"
#include "main_window/list_form.h"
#include "main_window/master_view.h"
#include "main_window/menu_list.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace marlo {

// How long writing to the shared folder may hold a start-up up: the start log's records all
// together, or the default list.
inline constexpr std::chrono::seconds kAppendPatience{3};
// How long the program's end waits for a start under way (a program half started is no start).
inline constexpr std::chrono::seconds kStartPatience{3};
// How often a menu on screen looks whether app.txt changed, and how long a changed app.txt must
// stand still before it is read (an editor that writes in place is not caught half-way).
inline constexpr std::chrono::seconds kListLookInterval{3};
inline constexpr std::chrono::milliseconds kListStandStill{700};

// Where the window's start-up stands. It goes down these in order, but for reading the list to no
// list, and from any to closing. The window may be on screen already while the list is read or
// put in (a slow server, a long list); the start-mode step waits for the list.
enum class StartUp {
  kReadingList,    // app.txt is looked for and read
  kPuttingListIn,  // the list read is going into the menu
  kOnScreen,       // the menu on screen shows the list; the start-mode step is to come
  kReady,          // the start mode is set: entries start, and their icons are looked for
  kNoList,         // there is no list: the default one is written, and the window never shows
  kClosing,        // the window is closing: nothing that comes back is taken
};

class Master {
 public:
  Master(Platform& platform, MasterView& view);
  // Work away from the window's thread comes back to this window: a window is never copied.
  Master(const Master&) = delete;
  Master& operator=(const Master&) = delete;

  // Start-up: start log, menu, first entry; or, without a list file, the default list and the end.
  // The list is looked for and read away from the window's thread, and so is the start log.
  void Form_Load();
  // Timer3: while the window is on screen, app.txt is looked at every few seconds; a list that
  // changed and then stood still is read and shown.
  void Timer3_Timer();
  // The window was restored or activated: app.txt is looked at at once.
  void Form_Activate();
  // A list read anew takes the place of the menu, whole, once the window shows it; the entry chosen
  // stays chosen. `after` follows once it is on screen.
  void ShowList(
      std::unique_ptr<MenuList> menu, std::function<void()> after = [] {});
  // What is known of the program of menu entry `index`, for drawing it; looked for when unknown.
  ProgramLook Icon(int index);
  // The window's icons are `pixels` square (its screen's density).
  void SetIconSize(int pixels) { looks_.SetIconSize(pixels); }
  // The selection of `index` made it the current entry.
  void List7_Click(int index);
  // Starting the current entry: double-click on the menu, and Enter through the default command.
  void List7_DblClick();
  void Command1_Click();
  // "Options": hands over to the Options window.
  void Command3_Click();
  // "Exit".
  void Command5_Click();
  // A key press received by the window itself.
  void Form_KeyPress(int key_code);
  // A tick of Timer2: once the list is on screen, topmost, start mode, client paths, and the
  // timer stops; before that the tick counts for nothing.
  void Timer2_Timer();
  // The client start paths of the current entry's program.
  void ComputeClientPaths();
  // Where the start-up stands: the window asks it before it shows itself or takes what came back.
  StartUp StartUpStage() const { return start_up_; }

  // Piece `index` of `text` cut at `delimiter`; List6 keeps all the pieces.
  std::string GetPiece(const std::string& text, char delimiter, int index);
  // True when a normal file (not a folder, not hidden, not system) matches `path`.
  bool FileExists(const std::string& path);

  // Working state, under the names the handlers use. The menu's captions and paths are parts of
  // the text of app.txt as read, which the menu object keeps with them: no copy per entry.
  const std::vector<std::string_view>& List7() const { return menu_->captions; }
  const std::vector<std::string_view>& List5() const { return menu_->paths; }
  std::vector<std::string> List6;  // pieces of the text GetPiece cut last
  std::string Label12;             // path of the current entry
  std::string Label5;              // start mode: "SERVER", "CLIENT" or empty
  std::string Label14;             // working folder ("SERVER") or path without drive ("CLIENT")
  std::string Label18;             // client folder through the share
  std::string Label20;             // client file name

 private:
  void ListLoaded(std::optional<bool> there, std::unique_ptr<MenuList> menu);
  void MenuIn();
  AudienceTest Shown() const;
  std::string PathAt(int index) const;
  std::vector<std::string_view> PathsOnScreen() const;
  int PlaceOfChosenEntryIn(const MenuList& menu) const;
  void WriteStartLog();
  void WriteDefaultList();
  void LookAtList();
  void ListLookedAt(std::optional<FileStamp> stamp);
  void ListReadAgain(std::unique_ptr<MenuList> menu);
  void LookAgainIn(std::chrono::milliseconds delay);
  bool ListIn() const { return start_up_ == StartUp::kOnScreen || start_up_ == StartUp::kReady; }
  void Close();
  std::uint64_t Now() { return platform_.clock.After(std::chrono::milliseconds(0)).milliseconds; }
  void Looked();
  EntryStart StartOf(const std::string& listed) const;
  void KeepStartPaths(const EntryStart& entry);
  void StartCurrentEntry(bool drive_check);
  void Started(const StartDone& done);
  bool IsClient() const { return !root_.empty(); }

  Platform& platform_;
  MasterView& view_;
  std::string program_folder_;
  // Where this workstation reaches the root of the server's drive: on a client the share
  // (\\FILESERVER\APPS\), or for a menu started from a network drive that drive's connection
  // or the drive itself (M:\); empty on the server.
  std::string root_;
  std::unique_ptr<MenuList> menu_;        // what the menu shows; List7 and List5 are its parts
  std::unique_ptr<MenuList> incoming_;    // a list the window is still putting in the menu
  std::shared_ptr<Audiences> audiences_;  // who this workstation is, as the entries name it
  StartUp start_up_ = StartUp::kReadingList;
  int chosen_ = -1;        // the entry chosen in the menu, if any
  bool starting_ = false;  // a start is under way
  // Following app.txt: a look or a read under way, when the last one ended, and a change seen
  // but not yet read, with the moment it was first seen.
  bool look_out_ = false;
  std::uint64_t looked_at_ = 0;
  std::optional<FileStamp> change_;
  std::uint64_t change_seen_at_ = 0;
  ProgramLooks looks_;  // last: its looks come back to the window while the rest is there
};

}  // namespace marlo
