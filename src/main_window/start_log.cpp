#include "main_window/start_log.h"

#include <algorithm>

namespace marlo {
namespace {

std::string RemoveAll(const std::string& text, const std::string& what) {
  std::string out;
  out.reserve(text.size());
  std::string::size_type start = 0;
  for (;;) {
    const auto found = text.find(what, start);
    out.append(text, start, found == std::string::npos ? std::string::npos : found - start);
    if (found == std::string::npos) break;
    start = found + what.size();
  }
  return out;
}

// `value` in decimal, with zeros before it up to `width` digits. (Not snprintf: in the exe it
// would bring in the runtime's whole formatter, floating point included.)
std::string Digits(int value, std::size_t width) {
  const std::string digits = std::to_string(value);
  return std::string(width - std::min(width, digits.size()), '0') + digits;
}

}  // namespace

std::string StartLogPath(const std::string& program_folder) {
  return program_folder + "\\user.txt";
}

std::string FormatStartRecord(const std::string& name, const LocalTime& time,
                              const DateTimeSeparators& separators) {
  std::string record = name + " - " + Digits(time.day, 2) + separators.date +
                       Digits(time.month, 2) + separators.date + Digits(time.year, 4) + " " +
                       Digits(time.hour, 2) + separators.time + Digits(time.minute, 2) +
                       separators.time + Digits(time.second, 2);
  // A record is one line, whatever the logon server's name or the regional settings hold.
  record.erase(
      std::remove_if(record.begin(), record.end(), [](char c) { return c == '\r' || c == '\n'; }),
      record.end());
  return record + "\r\n";
}

std::string LogonServerName(const std::optional<std::string>& logonserver) {
  return logonserver ? RemoveAll(*logonserver, "\\\\") : std::string();
}

std::string FolderServerName(const std::string& program_folder) {
  const std::string rest = RemoveAll(program_folder, "\\\\");
  return rest.substr(0, rest.find('\\'));
}

}  // namespace marlo
