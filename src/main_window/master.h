// Master, the main window: its working state and its handlers.
//
// The state is kept as the texts and lists the handlers read and write by name. The handlers of
// the start-mode step and of starting a program live in launch/.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main_window/list_form.h"
#include "main_window/master_view.h"
#include "main_window/menu_list.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace marlo {

// How long writing to the shared folder may hold a start-up up: the start log's records all
// together, or the default list.
inline constexpr std::chrono::seconds kAppendPatience{3};
// How often a menu on screen looks whether app.txt changed, and how long a changed app.txt must
// stand still before it is read (an editor that writes in place is not caught half-way).
inline constexpr std::chrono::seconds kListLookInterval{3};
inline constexpr std::chrono::milliseconds kListStandStill{700};

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
  // A list read anew takes the place of the menu, whole; the entry chosen stays chosen.
  void ShowList(std::unique_ptr<MenuList> menu);
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
  // The one tick of Timer2: topmost, start mode, client paths.
  void Timer2_Timer();
  // The client start paths of the current entry's program.
  void ComputeClientPaths();

  // Piece `index` of `text` cut at `delimiter`; List6 keeps all the pieces.
  std::string GetPiece(const std::string& text, char delimiter, int index);
  // True when a normal file (not a folder, not hidden, not system) matches `path`.
  bool FileExists(const std::string& path);

  // Working state, under the names the handlers use. The menu's captions and paths are parts of
  // the text of app.txt as read, which the menu object keeps with them: no copy per entry.
  const std::vector<std::string_view>& List7() const { return menu_->captions; }
  const std::vector<std::string_view>& List5() const { return menu_->paths; }
  std::vector<std::string> List6;       // pieces of the text GetPiece cut last
  std::string Label12;                  // path of the current entry
  std::string Label5;                   // start mode: "SERVER", "CLIENT" or empty
  std::string Label14;  // working folder ("SERVER") or path without drive ("CLIENT")
  std::string Label18;  // client folder through the share
  std::string Label20;  // client file name

 private:
  void ListLoaded(std::optional<bool> there, std::unique_ptr<MenuList> menu);
  std::string PathAt(int index) const;
  int PlaceOfChosenEntryIn(const MenuList& menu) const;
  void WriteStartLog(std::shared_ptr<std::optional<bool>> there);
  void WriteDefaultList();
  void LookAtList();
  void ListLookedAt(std::optional<FileStamp> stamp);
  void ListReadAgain(std::unique_ptr<MenuList> menu);
  void LookAgainIn(std::chrono::milliseconds delay);
  std::uint64_t Now() { return platform_.clock.After(std::chrono::milliseconds(0)).milliseconds; }
  void StartCurrentEntry(bool drive_check);
  bool StartOnServer(bool drive_check);
  bool StartOnClient();
  StartCommand ServerCommand();
  StartCommand ClientCommand();
  void DeriveServerWorkingFolder(const std::string& program);
  void SetClientPaths(const std::string& program);
  std::string ShareRoot();
  std::string MappedDriveRoot();
  bool IsClient() const { return IsShareForm(program_folder_) || !mapped_root_.empty(); }
  std::string ShareFormOf(const std::string& path);
  bool Launch(const std::string& program, const std::string& arguments, const std::string& folder);

  Platform& platform_;
  MasterView& view_;
  std::string program_folder_;
  // For a menu started from a network drive: the root its programs are reached by (the drive's
  // connection, \\FILESERVER\APPS\, or the drive itself, M:\); empty otherwise.
  std::string mapped_root_;
  std::unique_ptr<MenuList> menu_;  // what the menu shows; List7 and List5 are its parts
  int chosen_ = -1;                 // the entry chosen in the menu, if any
  // Following app.txt: a look or a read under way, when the last one ended, and a change seen
  // but not yet read, with the moment it was first seen.
  bool looking_ = false;
  std::uint64_t looked_at_ = 0;
  std::optional<FileStamp> change_;
  std::uint64_t change_seen_at_ = 0;
};

}  // namespace marlo
