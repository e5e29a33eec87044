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

// Before the start mode is set (the list on screen, then Timer2's tick) nothing starts: the window
// stays as it is. After it, the
// window goes down after a start, after the drive message, and when there is nothing to start (an
// empty menu, or no start mode); only a start that failed keeps it open.
void Master::StartCurrentEntry(bool drive_check) {
  if (start_up_ != StartUp::kReady || starting_) return;
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
      [&files, &processes, done, listed = Label12, reach = Reach{program_folder_, root_},
       known = looks_.EntryOf(Label12), check = drive_check && server] {
        *done = StartEntry(files, processes, listed, reach, known, check);
      },
      [this, done] { Started(*done); }, platform_.clock.After(kStartPatience));
}

// The start paths kept are those of the program that was started.
void Master::Started(const StartDone& done) {
  starting_ = false;
  view_.ShowStarting(false);
  KeepStartPaths(done.entry);
  if (done.other_drive) {
    view_.ShowMessage(
        "Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
        "Copy in same drive and then run again",
        "Path not found");
  } else if (!done.started.ok) {
    view_.ShowMessage(done.entry.plan.program + "\r\n" + done.started.Reason(), "Start Failed");
    return;
  }
  view_.Minimise();
}

}  // namespace marlo
