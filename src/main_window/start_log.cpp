#include "main_window/start_log.h"

#include <algorithm>
#include <cstdio>

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

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

}  // namespace

std::string StartLogPath(const std::string& program_folder) {
  return program_folder + "\\user.txt";
}

std::string FormatStartRecord(const std::string& name, const LocalTime& time,
                              const DateTimeSeparators& separators) {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", time.year);
  std::string record = name + " - " + TwoDigits(time.day) + separators.date +
                       TwoDigits(time.month) + separators.date + year + " " + TwoDigits(time.hour) +
                       separators.time + TwoDigits(time.minute) + separators.time +
                       TwoDigits(time.second);
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
