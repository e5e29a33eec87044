// Starting the current entry: Enter (the default command Command1) and a double-click on the menu.
//
// The start is worked out and carried out away from the window's thread: looking for the program
// through the share, setting its working folder and starting it may each wait for a server that
// does not answer. Meanwhile the window answers, shows that a start is under way, and takes no
// second one. A start that fails says so, with the path that was tried and the system's reason,
// and the window stays open on the same entry; only a start that worked minimises the window. The
// menu's own current folder is the same after a start as before it.
#include "launch/start_program.h"
#include "main_window/master.h"

namespace marlo {

void Master::Command1_Click() { StartCurrentEntry(false); }

// The double-click route also refuses a program on another drive than the menu's own.
void Master::List7_DblClick() { StartCurrentEntry(true); }

// Before the list came there is no entry to start: the window stays as it is. After it, the
// window goes down after a start, after the drive message, and when there is nothing to start (an
// empty menu, or no start mode); only a start that failed keeps it open.
void Master::StartCurrentEntry(bool drive_check) {
  if (!ListIn() || starting_) return;
  const bool server = Label5 == "SERVER";
  if (List5().empty() || (!server && Label5 != "CLIENT")) {
    view_.Minimise();
    return;
  }
  starting_ = true;
  view_.ShowStarting(true);
  auto done = std::make_shared<StartDone>();
  FileSystem& files = platform_.files;
  ProcessStarter& processes = platform_.processes;
  view_.OffThread(
      Lane::kFiles,
      [&files, &processes, done, listed = Label12, root = root_, folder = program_folder_,
       check = drive_check && server] {
        *done = StartEntry(files, processes, listed, root, folder, check);
      },
      [this, done] { Started(*done); }, platform_.clock.After(kStartPatience));
}

// The start paths are kept under their names: on the server the working folder, on a client the
// paths through the share of the program that was started.
void Master::Started(const StartDone& done) {
  starting_ = false;
  view_.ShowStarting(false);
  if (Label5 == "SERVER") {
    Label14 = done.plan.folder;
  } else {
    const ClientPaths paths = ClientPathsOf(done.command.program, root_);
    Label14 = paths.label14;
    Label20 = paths.label20;
    Label18 = paths.label18;
  }
  if (done.other_drive) {
    view_.ShowMessage(
        "Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
        "Copy in same drive and then run again",
        "Path not found");
  } else if (!done.started.ok) {
    view_.ShowMessage(done.plan.program + "\r\n" + done.started.reason, "Start Failed");
    return;
  }
  view_.Minimise();
}

}  // namespace marlo
