// The start-mode step and the client start paths of the main window.
#include "main_window/master.h"

namespace marlo {

// One tick per window: topmost, then "CLIENT" for a folder reached through a share or a network
// drive, "SERVER" for a folder on a drive of this machine. Any other folder leaves the mode empty,
// and then nothing can be started.
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
}

// At start-up and at each selection the client paths follow the form of the entry alone: no
// file is looked for through the share there. A start looks, and so takes a listed file that
// exists as it stands (one without ".exe", say) as the program.
void Master::ComputeClientPaths() {
  SetClientPaths(SplitStartCommand(Label12, [](const std::string&) { return false; }).program);
}

// The current entry as a client starts it: program and arguments are told apart by what exists
// through the share, and the client paths are set for the program.
StartCommand Master::ClientCommand() {
  const StartCommand command = SplitStartCommand(Label12, [this](const std::string& path) {
    return NamesFile(platform_.files, ShareFormOf(path));
  });
  SetClientPaths(command.program);
  return command;
}

// "\\" + server + "\" + share + "\", the root of the server drive as this client reaches it; for a
// menu started from a network drive, that drive's root.
std::string Master::ShareRoot() {
  if (!mapped_root_.empty()) return mapped_root_;
  const std::string server = GetPiece(program_folder_, '\\', 2);
  const std::string share = GetPiece(program_folder_, '\\', 3);
  return "\\\\" + server + "\\" + share + "\\";
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

// A client reaches a listed program through the share it runs the menu from: the share stands
// for the root of the server drive, so \\SRV\SHARE\ takes the place of the listed drive prefix.
// A program listed in share form already is reached as it stands.
std::string Master::ShareFormOf(const std::string& path) {
  if (IsShareForm(path)) return path;
  return ShareRoot() + (path.size() >= 3 ? path.substr(3) : std::string());
}

// Label14 the program without its drive prefix, Label20 its file name, Label18 its folder as the
// client reaches it.
void Master::SetClientPaths(const std::string& program) {
  if (IsShareForm(program)) {
    const auto last_backslash = program.find_last_of('\\');
    Label14 = program;
    Label20 = program.substr(last_backslash + 1);
    Label18 = program.substr(0, last_backslash);
    return;
  }
  Label14 = program.size() >= 3 ? program.substr(3) : std::string();
  const auto last_backslash = Label14.find_last_of('\\');
  Label20 = last_backslash == std::string::npos ? Label14 : Label14.substr(last_backslash + 1);
  Label18 = ShareFormOf(program);
  // Label18 ends in "\" + Label20 here; with no file name the folder keeps its final "\".
  if (!Label20.empty()) Label18.erase(Label18.size() - Label20.size() - 1);
}

}  // namespace marlo
