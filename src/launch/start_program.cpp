#include "launch/start_program.h"

#include "platform/paths.h"

namespace marlo {

StartDone StartEntry(FileSystem& files, ProcessStarter& processes, const std::string& listed,
                     const std::string& root, const std::string& program_folder, bool drive_check) {
  StartDone done;
  done.command =
      CommandOf(listed, root, [&files](const std::string& path) { return NamesFile(files, path); });
  done.plan = PlanOf(done.command, root);
  done.other_drive = drive_check && !SameDrive(done.plan.program, program_folder);
  if (!done.other_drive) done.started = processes.Start(done.plan);
  return done;
}

}  // namespace marlo
