// Starting a listed entry: the program file worked out from the listed path as this workstation
// reaches it, the drive check, and the start itself.
#pragma once

#include <string>

#include "launch/start_plan.h"
#include "platform/platform.h"

namespace marlo {

// How a start of an entry came out.
struct StartDone {
  StartCommand command;  // as listed
  StartPlan plan;
  bool other_drive = false;  // refused: the program is not on the menu's drive
  Outcome started;
};

// Works out the start of the entry `listed` from `root` (ClientRootOf) and carries it out; with
// `drive_check`, a program on another drive than the menu's folder is refused instead. Looking for
// the program through the share, setting its working folder and starting it may each wait for a
// server that does not answer: this runs away from the window's thread.
StartDone StartEntry(FileSystem& files, ProcessStarter& processes, const std::string& listed,
                     const std::string& root, const std::string& program_folder, bool drive_check);

}  // namespace marlo
