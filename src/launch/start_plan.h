// How a menu entry starts: the program file, its arguments and its working folder, worked out from
// the entry as listed and from where this workstation reaches the server's drive.
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

// A listed path as this workstation reaches it. `root` is where a client reaches the root of the
// server's drive (\\FILESERVER\APPS\, or a mapped drive's M:\), empty on the server: there a path
// is reached as listed. A path listed in share form is reached as it stands.
std::string ReachedBy(const std::string& root, const std::string& listed);

// The program and arguments of the entry `listed`, in its listed form. `names_file` tells whether
// a path names a file; it is asked in the form the program is started by (through the share on a
// client).
StartCommand CommandOf(const std::string& listed, const std::string& root,
                       const std::function<bool(const std::string&)>& names_file);

// The start of that program. The working folder is the program's own folder: on the server its
// path up to and including its last "\", on a client its folder through the share (without a final
// "\", unless the path names no file).
StartPlan PlanOf(const StartCommand& command, const std::string& root);

// The client start paths of a program (its listed form, arguments aside), under the names the
// main window keeps them: the program without its drive prefix, its file name, and its folder as
// the client reaches it.
struct ClientPaths {
  std::string label14, label20, label18;
};
ClientPaths ClientPathsOf(const std::string& program, const std::string& root);

}  // namespace marlo
