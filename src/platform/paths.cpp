#include "platform/paths.h"

#include "platform/utf8.h"

namespace marlo {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The first character, which in UTF-8 may take several bytes: É and È share their first byte.
std::string FirstCharacterUpper(const std::string& text) {
  std::string first = text.substr(0, CharacterAt(text, 0));
  first[0] = UpperAscii(first[0]);
  return first;
}

// The file name of a path: what follows its last "\".
std::string FileNameOf(const std::string& path) {
  const auto last = path.find_last_of('\\');
  return last == std::string::npos ? path : path.substr(last + 1);
}

// Where the first ".exe" (any case) followed by a blank ends, or npos.
std::string::size_type EndOfExeBeforeBlank(const std::string& text) {
  for (std::string::size_type at = 0; at + 5 <= text.size(); ++at) {
    if (text[at] == '.' && UpperAscii(text[at + 1]) == 'E' && UpperAscii(text[at + 2]) == 'X' &&
        UpperAscii(text[at + 3]) == 'E' && text[at + 4] == ' ') {
      return at + 4;
    }
  }
  return std::string::npos;
}

// Windows adds ".exe" to a program whose file name has no extension (a "." in a folder name does
// not count); so does the menu, for a path that is not itself a file. A bare drive (D:) is no
// file name.
bool WantsExtension(const std::string& program) {
  const std::string name = FileNameOf(program);
  return !name.empty() && name.find_first_of(".:") == std::string::npos;
}

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
         FirstCharacterUpper(path) == FirstCharacterUpper(program_folder);
}

bool IsShareForm(const std::string& path) { return StartsWith(path, "\\\\"); }

std::optional<bool> LookFor(FileSystem& files, const std::string& path,
                            const std::function<bool(const DirEntry&)>& wanted) {
  bool found = false;
  if (!files.Search(path, [&](const DirEntry& entry) { return found = wanted(entry); }).ok) {
    return std::nullopt;
  }
  return found;
}

bool SearchFinds(FileSystem& files, const std::string& path,
                 const std::function<bool(const DirEntry&)>& wanted) {
  return LookFor(files, path, wanted).value_or(false);
}

std::optional<bool> NamesFile(FileSystem& files, const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return false;
  return LookFor(files, path, [](const DirEntry& entry) { return !entry.folder; });
}

StartCommand SplitStartCommand(const std::string& listed,
                               const std::function<bool(const std::string&)>& names_file) {
  if (StartsWith(listed, "\"")) {
    const auto close = listed.find('"', 1);
    if (close != std::string::npos && (close + 1 == listed.size() || listed[close + 1] == ' ')) {
      std::string program = listed.substr(1, close - 1);
      const std::string arguments = close + 1 < listed.size() ? listed.substr(close + 2) : "";
      if (WantsExtension(program) && !names_file(program)) program += ".exe";
      return {program, arguments};
    }
  }
  // The file system is asked only where its answer changes the outcome: a listed path without a
  // blank after ".exe" and with an extension of its own is the program whether it exists or not.
  // (A client asks through the share, where every question is a round trip to the server.)
  const auto exe_end = EndOfExeBeforeBlank(listed);
  const bool wants_extension = WantsExtension(listed);
  if ((exe_end != std::string::npos || wants_extension) && names_file(listed)) return {listed, ""};
  if (exe_end != std::string::npos) return {listed.substr(0, exe_end), listed.substr(exe_end + 1)};
  if (wants_extension) return {listed + ".exe", ""};
  return {listed, ""};
}

std::size_t ProgramPartLength(const std::string& listed) {
  if (StartsWith(listed, "\"")) {
    const auto close = listed.find('"', 1);
    return close == std::string::npos ? listed.size() : close + 1;
  }
  const auto exe_end = EndOfExeBeforeBlank(listed);
  return exe_end == std::string::npos ? listed.size() : exe_end;
}

std::string ListedProgram(const std::string& listed) {
  std::string program = listed.substr(0, ProgramPartLength(listed));
  if (StartsWith(program, "\"")) program.erase(0, 1);
  if (!program.empty() && program.back() == '"') program.pop_back();
  return program;
}

std::string CommandLineOf(const StartCommand& command) {
  std::string line = "\"" + command.program + "\"";
  if (!command.arguments.empty()) line += " " + command.arguments;
  return line;
}

}  // namespace marlo
