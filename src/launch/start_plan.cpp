#include "launch/start_plan.h"

#include "platform/paths.h"

namespace marlo {
namespace {

// \\SERVER\SHARE of a path in share form: what comes before its third "\" (all of it without one).
std::string ShareOf(const std::string& path) {
  const auto server_end = path.find('\\', 2);
  return server_end == std::string::npos ? path : path.substr(0, path.find('\\', server_end + 1));
}

// Offices often reach the share through a mapped drive (M:\MENU): that workstation is a client
// too, and reaches the server's programs through the share of the drive's connection where the
// system knows it, else through the drive itself (D:\SALES\X.EXE as M:\SALES\X.EXE).
std::string MappedDriveRoot(const std::string& program_folder, Environment& env) {
  if (program_folder.size() < 2 || program_folder[1] != ':') return {};
  const std::string drive = program_folder.substr(0, 2);
  const auto connection = env.NetworkDrive(drive);
  if (!connection) return {};
  if (!IsShareForm(*connection)) return drive + "\\";
  // A drive may be mapped to a folder below the share (\\FILESERVER\APPS\MENU): the share itself,
  // \\server\share, stands for the server drive's root.
  return ShareOf(*connection) + "\\";
}

}  // namespace

// A menu started from a share: "\\" + server + "\" + share + "\".
std::string ClientRootOf(const std::string& program_folder, Environment& env) {
  const std::string mapped = MappedDriveRoot(program_folder, env);
  if (!mapped.empty()) return mapped;
  if (!IsShareForm(program_folder)) return {};
  return ShareOf(program_folder) + "\\";
}

std::string ReachedBy(const std::string& root, const std::string& listed) {
  if (root.empty() || IsShareForm(listed)) return listed;
  return root + (listed.size() >= 3 ? listed.substr(3) : std::string());
}

// A program listed in share form keeps its own folder. Otherwise the folder is the program
// without its drive prefix, less its file name, reached through the share; with no file name
// (a path ending in "\") the folder keeps its final "\".
ClientPaths ClientPathsOf(const std::string& program, const std::string& root) {
  ClientPaths paths;
  if (IsShareForm(program)) {
    const auto last_backslash = program.find_last_of('\\');
    paths.label14 = program;
    paths.label20 = program.substr(last_backslash + 1);
    paths.label18 = program.substr(0, last_backslash);
    return paths;
  }
  paths.label14 = program.size() >= 3 ? program.substr(3) : std::string();
  const auto last_backslash = paths.label14.find_last_of('\\');
  paths.label20 = last_backslash == std::string::npos ? paths.label14
                                                      : paths.label14.substr(last_backslash + 1);
  paths.label18 = ReachedBy(root, program);
  if (!paths.label20.empty()) paths.label18.erase(paths.label18.size() - paths.label20.size() - 1);
  // A program in the root of a drive (M:\X.EXE) works in that root: "M:" alone would be the
  // drive's current folder.
  if (paths.label18.size() == 2 && paths.label18[1] == ':') paths.label18 += '\\';
  return paths;
}

StartCommand CommandOf(const std::string& listed, const std::string& root,
                       const std::function<bool(const std::string&)>& names_file) {
  return SplitStartCommand(
      listed, [&](const std::string& path) { return names_file(ReachedBy(root, path)); });
}

StartPlan PlanOf(const StartCommand& command, const std::string& root) {
  if (root.empty()) {
    const auto last_backslash = command.program.find_last_of('\\');
    return {command.program, command.arguments,
            last_backslash == std::string::npos ? std::string()
                                                : command.program.substr(0, last_backslash + 1)};
  }
  return {ReachedBy(root, command.program), command.arguments,
          ClientPathsOf(command.program, root).label18};
}

}  // namespace marlo
