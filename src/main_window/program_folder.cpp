#include "main_window/program_folder.h"

namespace marlo {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string ProgramFolderFromExePath(const std::string& exe_path) {
  std::string path = exe_path;
  if (StartsWith(path, "\\\\?\\UNC\\")) {
    path = "\\\\" + path.substr(8);
  } else if (StartsWith(path, "\\\\?\\")) {
    path = path.substr(4);
  } else if (StartsWith(path, "UNC\\")) {
    path = "\\\\" + path.substr(4);
  }
  const auto last = path.find_last_of('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

bool SameDrive(const std::string& path, const std::string& program_folder) {
  return !path.empty() && !program_folder.empty() &&
         UpperAscii(path[0]) == UpperAscii(program_folder[0]);
}

}  // namespace marlo
