// The start-mode step and the client start paths of the main window.
#include "launch/start_plan.h"
#include "main_window/master.h"

namespace marlo {

// The step runs once per window, at the first tick that finds the list on screen: topmost, then
// "CLIENT" for a folder reached through a share or a network drive, "SERVER" for a folder on a
// drive of this machine. Any other folder leaves the mode empty, and then nothing can be started.
// From then on the entries' icons are looked for.
void Master::Timer2_Timer() {
  if (start_up_ != StartUp::kOnScreen) return;
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
  start_up_ = StartUp::kReady;
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

}  // namespace marlo
