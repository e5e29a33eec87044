// The start-mode step and the client start paths of the main window.
#include "launch/start_plan.h"
#include "main_window/master.h"

namespace marlo {

// One tick per window: topmost, then "CLIENT" for a folder reached through a share or a network
// drive, "SERVER" for a folder on a drive of this machine. Any other folder leaves the mode empty,
// and then nothing can be started. From then on the entries' icons are looked for.
void Master::Timer2_Timer() {
  view_.MakeTopMost();
  if (IsClient()) {
    Label5 = "CLIENT";
    view_.ShowMode(Label5);
    ComputeClientPaths();
    view_.HideOptionsAndExit();
  } else if (program_folder_.size() >= 2 && program_folder_[1] == ':') {
    Label5 = "SERVER";
    view_.ShowMode(Label5);
  }
  view_.StopTimer2();
  started_up_ = true;
  looks_.Resume();
}

// At start-up and at each selection the client paths follow the form of the entry alone: no
// file is looked for through the share there. A start looks, and so takes a listed file that
// exists as it stands (one without ".exe", say) as the program.
void Master::ComputeClientPaths() {
  const ClientPaths paths = ClientPathsOf(
      SplitStartCommand(Label12, [](const std::string&) { return false; }).program, root_);
  Label14 = paths.label14;
  Label20 = paths.label20;
  Label18 = paths.label18;
}

// A menu started from a share: "\\" + server + "\" + share + "\", the root of the server drive as
// this client reaches it.
std::string Master::ShareRoot() {
  const std::string server = GetPiece(program_folder_, '\\', 2);
  const std::string share = GetPiece(program_folder_, '\\', 3);
  return "\\\\" + server + "\\" + share + "\\";
}

std::string Master::ClientRoot() {
  const std::string mapped = MappedDriveRoot();
  if (!mapped.empty()) return mapped;
  return IsShareForm(program_folder_) ? ShareRoot() : std::string();
}

// Offices often reach the share through a mapped drive (M:\MENU): that workstation is a client
// too, and reaches the server's programs through the share of the drive's connection where the
// system knows it, else through the drive itself (D:\SALES\X.EXE as M:\SALES\X.EXE).
std::string Master::MappedDriveRoot() {
  if (program_folder_.size() < 2 || program_folder_[1] != ':') return {};
  const std::string drive = program_folder_.substr(0, 2);
  const auto connection = platform_.env.NetworkDrive(drive);
  if (!connection) return {};
  if (!IsShareForm(*connection)) return drive + "\\";
  // A drive may be mapped to a folder below the share (\\FILESERVER\APPS\MENU): the share itself,
  // \\server\share, stands for the server drive's root.
  const auto share_end = connection->find('\\', connection->find('\\', 2) + 1);
  return connection->substr(0, share_end) + "\\";
}

}  // namespace marlo
