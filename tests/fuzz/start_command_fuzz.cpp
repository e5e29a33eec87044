// Any listed path, with any answer of the file system: the program and its arguments come from
// the listed text (the program as listed or in quotes, perhaps with ".exe" added; the arguments
// its end), and the command line handed over starts with the program in double quotes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/paths.h"

namespace {

bool StartsWith(const std::string& text, const std::string& lead) {
  return text.compare(0, lead.size(), lead) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const unsigned answers = data[0];  // which lookups find a file, by the length of the path
  const std::string listed(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto names_file = [&](const std::string& path) {
    return ((answers >> (path.size() % 8)) & 1u) != 0;
  };

  const marlo::StartCommand command = marlo::SplitStartCommand(listed, names_file);
  const marlo::StartCommand again = marlo::SplitStartCommand(listed, names_file);
  if (command.program != again.program || command.arguments != again.arguments) std::abort();

  std::string program = command.program;
  const bool from_listed = StartsWith(listed, program) || StartsWith(listed, "\"" + program);
  if (!from_listed) {
    // ".exe" added to a program named without it.
    if (!EndsWith(program, ".exe")) std::abort();
    program.resize(program.size() - 4);
    if (!StartsWith(listed, program) && !StartsWith(listed, "\"" + program)) std::abort();
  }
  if (!EndsWith(listed, command.arguments)) std::abort();
  if (command.program.size() + command.arguments.size() > listed.size() + 4) std::abort();

  const std::string line = marlo::CommandLineOf(command);
  const std::string expected =
      "\"" + command.program + "\"" + (command.arguments.empty() ? "" : " " + command.arguments);
  if (line != expected) std::abort();
  return 0;
}
