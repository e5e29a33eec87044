#include "launch/start_plan.h"

#include <algorithm>

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

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

// The root of the drive the menu's folder lies on, as this workstation reaches it.
std::string RootOf(const Reach& reach) {
  if (!reach.root.empty()) return reach.root;
  if (HasDrive(reach.folder)) return reach.folder.substr(0, 2) + "\\";
  return IsShareForm(reach.folder) ? ShareOf(reach.folder) + "\\" : std::string();
}

std::string ReachedBy(const Reach& reach, const std::string& listed) {
  if (listed.empty()) return reach.root;
  if (IsShareForm(listed)) return listed;
  if (HasDrive(listed)) {
    const std::size_t below = listed.size() >= 3 && listed[2] == '\\' ? 3 : 2;
    if (reach.root.empty()) return listed.substr(0, 2) + "\\" + listed.substr(below);
    return reach.root + listed.substr(below);
  }
  if (listed[0] == '\\') return RootOf(reach) + listed.substr(1);
  const bool in_root = !reach.folder.empty() && reach.folder.back() == '\\';
  return reach.folder + (in_root ? "" : "\\") + listed;
}

}  // namespace

// A menu started from a share: "\\" + server + "\" + share + "\".
std::string ClientRootOf(const std::string& program_folder, Environment& env) {
  const std::string mapped = MappedDriveRoot(program_folder, env);
  if (!mapped.empty()) return mapped;
  if (!IsShareForm(program_folder)) return {};
  return ShareOf(program_folder) + "\\";
}

// On the server, the program is started as listed from its folder with the final "\". A client
// reaches it through the root, and works in its folder without the final "\" (M:\ for the root
// of a drive: "M:" alone would be the drive's current folder); a path ending in "\" names no file
// and keeps it, unless listed in share form.
EntryStart EntryStartOf(const std::string& listed, const Reach& reach,
                        const std::function<bool(const std::string&)>& names_file) {
  const StartCommand command = SplitStartCommand(
      listed, [&](const std::string& path) { return names_file(ReachedBy(reach, path)); });
  EntryStart entry;
  entry.plan.program = ReachedBy(reach, command.program);
  entry.plan.arguments = command.arguments;
  const std::string& program = entry.plan.program;
  const bool listed_share = IsShareForm(command.program);
  const std::string root = RootOf(reach);
  if (!listed_share && !root.empty() && program.compare(0, root.size(), root) == 0) {
    entry.below_root = program.substr(root.size());
  } else {
    entry.below_root =
        listed_share ? program : program.substr(std::min<std::size_t>(3, program.size()));
  }
  const auto folder_end = program.find_last_of('\\');
  entry.file_name = program.substr(folder_end + 1);  // all of it without a "\"
  if (reach.root.empty()) {
    if (folder_end != std::string::npos) entry.plan.folder = program.substr(0, folder_end + 1);
    return entry;
  }
  entry.plan.folder =
      entry.file_name.empty() && !listed_share ? program : program.substr(0, folder_end);
  if (entry.plan.folder.size() == 2 && entry.plan.folder[1] == ':') entry.plan.folder += '\\';
  return entry;
}

}  // namespace marlo
