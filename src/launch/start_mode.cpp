// The start-mode step and the client start paths of the main window.
#include "main_window/master.h"

namespace marlo {

// One tick per window: topmost, then "CLIENT" for a folder reached through a share, "SERVER" for a
// drive folder. Any other folder leaves the mode empty, and then nothing can be started.
void Master::Timer2_Timer() {
  view_.MakeTopMost();
  if (program_folder_.rfind("\\\\", 0) == 0) {
    Label5 = "CLIENT";
    view_.ShowMode(Label5);
    ComputeClientPaths();
    view_.HideOptionsAndExit();
  }
  if (program_folder_.size() >= 2 && program_folder_[1] == ':') {
    Label5 = "SERVER";
    view_.ShowMode(Label5);
  }
  view_.StopTimer2();
}

// A client reaches a listed program through the share it runs the menu from: the share stands
// for the root of the server drive, so \\SRV\SHARE\ takes the place of the listed drive prefix.
void Master::ComputeClientPaths() {
  Label14 = Label12.size() >= 3 ? Label12.substr(3) : std::string();
  const auto last_backslash = Label14.find_last_of('\\');
  Label20 = last_backslash == std::string::npos ? Label14 : Label14.substr(last_backslash + 1);
  const std::string server = GetPiece(program_folder_, '\\', 2);
  const std::string share = GetPiece(program_folder_, '\\', 3);
  Label18 = "\\\\" + server + "\\" + share + "\\" + Label14;
  // Label18 ends in "\" + Label20 here; with no file name the folder keeps its final "\".
  if (!Label20.empty()) Label18.erase(Label18.size() - Label20.size() - 1);
}

}  // namespace marlo
