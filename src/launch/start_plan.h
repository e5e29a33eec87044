// How a menu entry starts: the program file, its arguments and its working folder, worked out
// once from the entry as listed and from where this workstation reaches the server's drive. The
// start, the icon's look, the client start paths and the "not found" mark all read that one value.
#pragma once

#include <functional>
#include <string>

#include "platform/paths.h"
#include "platform/platform.h"

namespace marlo {

// Where a menu run from `program_folder` reaches the root of the server's drive: on a client the
// share (\\FILESERVER\APPS\), for a menu started from a network drive that drive's connection or
// the drive itself (M:\); empty on the server. `env` tells what a drive is mapped to.
std::string ClientRootOf(const std::string& program_folder, Environment& env);

// Where this workstation stands: the menu's own folder as it reaches it (D:\MENU,
// \\FILESERVER\APPS\MENU, M:\MENU), and the root of the server's drive (ClientRootOf; empty on the
// server).
struct Reach {
  std::string folder;
  std::string root;
};

// An entry as this workstation starts it.
struct EntryStart {
  StartPlan plan;  // the program as reached, its arguments, its working folder
  // The program below the root it is reached through (SALES\X.EXE; one listed in share form: all
  // of it), and its file name.
  std::string below_root;
  std::string file_name;
};

// Works out the entry `listed`. Its paths are reached as this workstation reaches them: on a client
// through the root in place of the drive prefix, in share form as they stand. One that is not a
// full path is never left to the process's current folder, which a start moves: SALES\X.EXE lies
// in the menu's folder, \SALES\X.EXE in the root of its drive, D:X.EXE in the root of D:.
// `names_file` tells whether a path so reached names a file; it is asked at most once, and only
// where the answer tells the program from its arguments. The working folder is the program's own:
// on the server its path up to and including its last "\", on a client its folder through the
// share (without a final "\", unless the path names no file, and M:\ for the root of a drive).
EntryStart EntryStartOf(const std::string& listed, const Reach& reach,
                        const std::function<bool(const std::string&)>& names_file);

}  // namespace marlo
