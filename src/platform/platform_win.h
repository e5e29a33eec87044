// The Win32 implementations of the platform interfaces, through the wide (W) calls: a name in any
// script reaches the machine as it is.
#pragma once

#include "platform/platform.h"

namespace marlo {

class Win32FileSystem : public FileSystem {
 public:
  Outcome Search(const std::string& pattern,
                 const std::function<bool(const DirEntry&)>& visit) override;
  std::optional<FileStamp> Stamp(const std::string& path) override;
  ReadResult ReadAll(const std::string& path, std::size_t limit) override;
  Outcome Append(const std::string& path, const std::string& text, Deadline deadline) override;
  Outcome Create(const std::string& path, const std::string& bytes) override;
  FileLook Look(const std::string& path) override;
  NewFile CreateNew(const std::string& folder, const FileKeep& keep) override;
  Outcome WriteNew(NewFile& file, const std::string& bytes) override;
  Outcome KeepNew(NewFile& file, const FileKeep& keep) override;
  Outcome PlaceNew(NewFile& file, const std::string& to, bool replace) override;
  Outcome DiscardNew(NewFile& file) override;
};

class Win32Processes : public ProcessStarter {
 public:
  Outcome Start(const StartPlan& plan) override;
};

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  DateTimeSeparators Separators() override;
  Deadline After(std::chrono::milliseconds patience) override;
};

class Win32Locale : public Locale {
 public:
  std::string UpperCase(const std::string& text) override;
  std::string FromAnsi(std::string_view bytes) override;
  std::string ToAnsi(std::string_view text, bool& exact) override;
};

class Win32Environment : public Environment {
 public:
  std::optional<std::string> Variable(const std::string& name) override;
  std::string ProgramFolder() override;
  std::optional<std::string> NetworkDrive(const std::string& drive) override;
};

}  // namespace marlo
