// Starting the current entry: Enter (the default command Command1) and a double-click on the menu.
//
// Both routes run every step under skip-on-failure: a folder that cannot be set or a program that
// cannot be started is passed over silently, and the window is minimised in every case.
#include "main_window/master.h"
#include "main_window/program_folder.h"

namespace marlo {

// On the server a program runs from its own folder: the listed path up to its last "\".
void Master::DeriveServerWorkingFolder() {
  GetPiece(Label12, '\\', 0);
  const std::string file_name = GetPiece(Label12, '\\', static_cast<int>(List6.size()) - 1);
  Label14 = Label12.substr(0, Label12.size() - file_name.size());
}

// On a client the paths were prepared by ComputeClientPaths for the current entry.
void Master::StartClientEntry() {
  platform_.processes.SetCurrentFolder(Label18);
  platform_.processes.Start(Label18 + "\\" + Label20);
}

void Master::Command1_Click() {
  if (Label5 == "SERVER") {
    DeriveServerWorkingFolder();
    platform_.processes.SetCurrentFolder(Label14);
    platform_.processes.Start(Label12);
  }
  if (Label5 == "CLIENT") StartClientEntry();
  view_.Minimise();
}

// The double-click route also refuses a program on another drive than the menu's own.
void Master::List7_DblClick() {
  if (Label5 == "SERVER") {
    DeriveServerWorkingFolder();
    platform_.processes.SetCurrentFolder(Label14);
    if (SameDrive(Label12, program_folder_)) {
      platform_.processes.Start(Label12);
    } else {
      view_.ShowMessage(
          "Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
          "Copy in same drive and then run again",
          "Path not found");
    }
  }
  if (Label5 == "CLIENT") StartClientEntry();
  view_.Minimise();
}

}  // namespace marlo
