// Starting the current entry: Enter (the default command Command1) and a double-click on the menu.
//
// A start that fails says so, with the path that was tried and the system's reason, and the
// window stays open on the same entry; only a start that worked minimises the window. The menu's
// own current folder is the same after a start as before it.
#include "main_window/master.h"

namespace marlo {

void Master::Command1_Click() { StartCurrentEntry(false); }

// The double-click route also refuses a program on another drive than the menu's own.
void Master::List7_DblClick() { StartCurrentEntry(true); }

// The window goes down after a start, after the drive message, and when there is nothing to
// start (an empty menu, or no start mode); only a start that failed keeps it open.
void Master::StartCurrentEntry(bool drive_check) {
  bool failed = false;
  if (!List5().empty() && Label5 == "SERVER") failed = !StartOnServer(drive_check);
  if (!List5().empty() && Label5 == "CLIENT") failed = !StartOnClient();
  if (!failed) view_.Minimise();
}

// False when the program could not be started; the drive message is not a failure to start.
bool Master::StartOnServer(bool drive_check) {
  const StartCommand command = ServerCommand();
  DeriveServerWorkingFolder(command.program);
  if (drive_check && !SameDrive(command.program, program_folder_)) {
    view_.ShowMessage(
        "Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
        "Copy in same drive and then run again",
        "Path not found");
    return true;
  }
  return Launch(command.program, command.arguments, Label14);
}

bool Master::StartOnClient() {
  const StartCommand command = ClientCommand();
  return Launch(Label18 + "\\" + Label20, command.arguments, Label18);
}

StartCommand Master::ServerCommand() {
  return SplitStartCommand(
      Label12, [this](const std::string& path) { return NamesFile(platform_.files, path); });
}

// On the server a program runs from its own folder: the program's path up to its last "\".
void Master::DeriveServerWorkingFolder(const std::string& program) {
  GetPiece(program, '\\', 0);
  const std::string file_name = GetPiece(program, '\\', static_cast<int>(List6.size()) - 1);
  Label14 = program.substr(0, program.size() - file_name.size());
}

// The program gets its working folder through the menu's current folder, which is put back right
// after the start: a workstation's menu must not hold a program's folder on the server open. (A
// folder handed to the process start itself is not used for a share folder by every platform.)
// A folder that cannot be set is passed over and the program starts without it.
bool Master::Launch(const std::string& program, const std::string& arguments,
                    const std::string& folder) {
  ProcessStarter& processes = platform_.processes;
  const std::string own_folder = processes.CurrentFolder();
  const bool moved = processes.SetCurrentFolder(folder);
  const Outcome started = processes.Start(program, CommandLineOf({program, arguments}));
  if (moved && !own_folder.empty()) processes.SetCurrentFolder(own_folder);
  if (!started.ok) view_.ShowMessage(program + "\r\n" + started.reason, "Start Failed");
  return started.ok;
}

}  // namespace marlo
