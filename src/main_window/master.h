// Master, the main window: its working state and its handlers.
//
// The state is kept as the texts and lists the handlers read and write by name. The handlers of
// the start-mode step and of starting a program live in launch/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "main_window/list_form.h"
#include "main_window/master_view.h"
#include "platform/paths.h"
#include "platform/platform.h"

namespace marlo {

// How long writing to the shared folder may hold a start-up up: the start log's records all
// together, or the default list.
inline constexpr std::chrono::seconds kAppendPatience{3};

class Master {
 public:
  Master(Platform& platform, MasterView& view);
  // The menu's lists point into the window's own copy of app.txt: a window is never copied.
  Master(const Master&) = delete;
  Master& operator=(const Master&) = delete;

  // Start-up: start log, menu, first entry; or, without a list file, the default list and the end.
  void Form_Load();
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
  // the text of app.txt as read at start-up, which the window keeps: no copy per entry.
  std::vector<std::string_view> List7;  // menu captions
  std::vector<std::string_view> List5;  // entry paths, parallel to List7
  std::vector<std::string> List6;       // pieces of the text GetPiece cut last
  std::string Label12;                  // path of the current entry
  std::string Label5;                   // start mode: "SERVER", "CLIENT" or empty
  std::string Label14;  // working folder ("SERVER") or path without drive ("CLIENT")
  std::string Label18;  // client folder through the share
  std::string Label20;  // client file name

 private:
  bool ReadMenu();
  std::string PathAt(int index) const;
  void AppendStartRecord(const std::string& name, Deadline deadline);
  void WriteDefaultList();
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
  ListText list_;  // app.txt as read; List7 and List5 point into its text
};

}  // namespace marlo
