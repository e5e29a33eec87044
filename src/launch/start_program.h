// Starting a listed entry: the entry worked out (or taken as a look already worked it out), the
// drive check, and the start itself.
#pragma once

#include <optional>
#include <string>

#include "launch/start_plan.h"
#include "platform/platform.h"

namespace marlo {

// How a start of an entry came out.
struct StartDone {
  EntryStart entry;
  bool other_drive = false;  // refused: the program is not on the menu's drive
  Outcome started;
};

// Starts the entry `listed` as `reach` reaches it: as `known` when the entry was worked out
// already, else worked out now. With `drive_check`, a program on another drive than the menu's
// folder is refused instead. Looking for the program through the share, setting its working
// folder and starting it may each wait for a server that does not answer: this runs away from the
// window's thread.
StartDone StartEntry(FileSystem& files, ProcessStarter& processes, const std::string& listed,
                     const Reach& reach, const std::optional<EntryStart>& known, bool drive_check);

}  // namespace marlo
