// What a window knows of the programs its rows list: whether each is there, and the picture to
// show it with.
//
// Each program is looked at once, kept by its path as listed, away from the window's thread and
// one look at a time, the rows asked for last first (those are the rows on screen, as they are
// asked for while they are drawn). An icon is let go when its path leaves the list, and with the
// window. While the window is minimised no look begins.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marlo {

// The look itself, on any thread: the file a start of `listed` would run (arguments aside, as this
// workstation reaches it, `reach`), whether it is there, and its icon of `size` pixels.
ProgramLook LookAtProgram(FileSystem& files, ProgramIcons& icons,
                          const std::function<std::string(const std::string&)>& reach,
                          const std::string& listed, int size);

class ProgramLooks {
 public:
  using Reach = std::function<std::string(const std::string&)>;
  // Hands `work` to the window's background lane; `then` follows on the window's thread.
  using OffThread = std::function<void(std::function<void()> work, std::function<void()> then)>;

  // `changed` shows what a look found; `paused` tells that no look should begin now.
  ProgramLooks(Platform& platform, Reach reach, OffThread off_thread, std::function<void()> changed,
               std::function<bool()> paused);
  ~ProgramLooks();
  ProgramLooks(const ProgramLooks&) = delete;
  ProgramLooks& operator=(const ProgramLooks&) = delete;

  // What is known of the program `listed`; one not known yet is looked for.
  ProgramLook Of(std::string_view listed);
  // `listed` was edited: it is looked at afresh when asked for next.
  void Forget(const std::string& listed);
  // A list read anew: the looks of the paths it still has are kept, the others let go.
  void KeepOnly(const std::vector<std::string_view>& listed);
  // Icons of another size (a screen of another density): every program is looked at anew.
  void SetIconSize(int pixels);
  // The looks that waited while paused begin.
  void Resume() { LookNext(); }

 private:
  struct Entry {
    ProgramLook look;
    bool asked = false;  // handed to a look (or waiting for one)
    bool kept = false;   // still in the list (while a new list is gone through)
  };
  void LookNext();
  void Looked(const std::string& listed, ProgramLook look, std::uint64_t generation);
  void Let(ProgramLook& look);

  Platform& platform_;
  Reach reach_;
  OffThread off_thread_;
  std::function<void()> changed_;
  std::function<bool()> paused_;
  std::map<std::string, Entry, std::less<>> entries_;
  std::vector<std::string> wanted_;  // asked for, not looked at yet: the last first
  bool looking_ = false;
  int size_ = 16;
  std::uint64_t generation_ = 0;  // a look begun before the icon size changed is let go
};

}  // namespace marlo
