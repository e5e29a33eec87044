// The Windows path rules of the menu, shared by the windows and by the platform layer: the forms of
// the program folder, the drive check, and how a listed entry becomes a program and its arguments.
// Plain text functions; nothing here touches the machine.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"

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

// True for a path in share form, \\SERVER\SHARE\....
bool IsShareForm(const std::string& path);

// Whether a directory search for `path` finds an entry that `wanted` accepts; nothing when the
// search could not be made.
std::optional<bool> LookFor(FileSystem& files, const std::string& path,
                            const std::function<bool(const DirEntry&)>& wanted);
// The same, a search that could not be made finding nothing.
bool SearchFinds(FileSystem& files, const std::string& path,
                 const std::function<bool(const DirEntry&)>& wanted);

// Whether `path` names a file that a program can be started from: any file that is not a folder,
// hidden or not; nothing when the search could not be made. Wildcards name no file.
std::optional<bool> NamesFile(FileSystem& files, const std::string& path);

// A listed entry as it is started: the exact program file, and the arguments handed to it.
struct StartCommand {
  std::string program;
  std::string arguments;
  bool operator==(const StartCommand& other) const {
    return program == other.program && arguments == other.arguments;
  }
};

// Splits a listed path into program and arguments by the rules Windows users know from their
// shortcuts, without ever trying a shorter file than the one meant. `names_file` tells whether a
// candidate program names an existing file (it is asked in the listed form; the caller maps it to
// the form it will be started by).
//   "D:\APPS\X.EXE" -a     the quoted path, arguments after the blank that follows it
//   D:\APPS\X.EXE          a file that exists is the program, blanks and all
//   D:\APPS\X.EXE -a       no such file: up to the first ".exe" followed by a blank, the rest is
//                          the arguments
//   D:\APPS\X              no such file and no "." in the file name: ".exe" is added
//   D:\PROGRAM FILES\X.EXE anything else is the whole program path (never D:\PROGRAM.EXE)
StartCommand SplitStartCommand(const std::string& listed,
                               const std::function<bool(const std::string&)>& names_file);

// How much of a listed path, as typed, names the program: a quoted path with its quotes, else up
// to the first ".exe" followed by a blank, else all of it. What follows is the arguments.
std::size_t ProgramPartLength(const std::string& listed);

// The program part of a listed path without its quotes: the path the drive check reads.
std::string ListedProgram(const std::string& listed);

// The command line a program is started with: its path in double quotes, then a blank and the
// arguments when there are any.
std::string CommandLineOf(const StartCommand& command);

}  // namespace marlo
