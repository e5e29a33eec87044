// The program folder: the folder of the running executable, without a trailing backslash.
#pragma once

#include <string>

namespace marlo {

// The folder of an executable path as the platform reports it. Long-path prefixes are turned into
// the ordinary forms: \\?\UNC\SRV\SHARE\... and UNC\SRV\SHARE\... (the form Wine's
// GetModuleFileName gives for a program started from a share) into \\SRV\SHARE\..., and \\?\D:\...
// into D:\.... The result is in drive form (D:\MENU) or share form (\\SRV\SHARE\MENU).
std::string ProgramFolderFromExePath(const std::string& exe_path);

// True when `path` lies on the drive of `program_folder`: the first characters of both, compared
// without regard to case. A path without a first character lies on no drive. The listed programs
// must sit on the menu's own drive, because a client reaches them through the share of that drive.
bool SameDrive(const std::string& path, const std::string& program_folder);

}  // namespace marlo
