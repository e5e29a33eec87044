#include "launch/start_program.h"

#include "platform/paths.h"

namespace marlo {

StartDone StartEntry(FileSystem& files, ProcessStarter& processes, const std::string& listed,
                     const Reach& reach, const std::optional<EntryStart>& known, bool drive_check) {
  StartDone done;
  done.entry = known ? *known : EntryStartOf(listed, reach, [&files](const std::string& path) {
    return NamesFile(files, path).value_or(false);
  });
  done.other_drive = drive_check && !SameDrive(done.entry.plan.program, reach.folder);
  if (!done.other_drive) done.started = processes.Start(done.entry.plan);
  return done;
}

}  // namespace marlo
