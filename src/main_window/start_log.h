// The start log user.txt: one record a line, server name " - " date and time.
#pragma once

#include <string>

#include "platform/platform.h"

namespace marlo {

std::string StartLogPath(const std::string& program_folder);

// "NAME - dd/mm/yyyy hh:mm:ss" CR LF, with the regional date and time separators in place of
// "/" and ":". Line breaks in the name or the separators are dropped: a record is one line.
std::string FormatStartRecord(const std::string& name, const LocalTime& time,
                              const DateTimeSeparators& separators);

// The logon server's name: LOGONSERVER with every "\\" removed, case kept; empty when unset.
std::string LogonServerName(const std::optional<std::string>& logonserver);

// The server name of a share-form program folder: the folder with every "\\" removed, up to the
// first remaining "\" (\\FILESERVER\APPS\MENU gives FILESERVER).
std::string FolderServerName(const std::string& program_folder);

}  // namespace marlo
