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

// At start-up and at each selection the client paths are those of the entry as its look worked
// it out; before the look came back, by the form of the entry alone: no file is looked for through
// the share on the window's thread. A look that comes back afterwards brings them up to date.
void Master::ComputeClientPaths() { KeepStartPaths(StartOf(Label12)); }

void Master::Looked() {
  view_.RedrawMenu();
  if (Label5 == "CLIENT") ComputeClientPaths();
}

EntryStart Master::StartOf(const std::string& listed) const {
  if (std::optional<EntryStart> known = looks_.EntryOf(listed)) return *std::move(known);
  return EntryStartOf(listed, {program_folder_, root_}, [](const std::string&) { return false; });
}

// The start paths under the names the window keeps them: on the server the working folder, on a
// client the program below the share's root, its file name and its folder through the share.
void Master::KeepStartPaths(const EntryStart& entry) {
  if (!IsClient()) {
    Label14 = entry.plan.folder;
    return;
  }
  Label14 = entry.below_root;
  Label20 = entry.file_name;
  Label18 = entry.plan.folder;
}

}  // namespace marlo
