// What a window knows of the programs its rows list: whether each is there, and the picture to
// show it with.
//
// Each program is looked at away from the window's thread, kept by its path as listed, up to
// kBackgroundAtOnce looks at once, the rows asked for last first (those are the rows on screen, as
// they are asked for while they are drawn). A look whose turn comes when its row has left the
// screen is not made (the row asks again when it is drawn again), so a long list scrolled through
// asks the server only for what is seen. The icons of the rows on screen are kept, and those of
// the kIconsOffScreen rows drawn last besides: a row scrolled back to shows its icon at once, and
// a list of any length holds a bounded number of icon handles (a process has about 10,000, and a
// box needs some). An icon let go is looked for again when its row is drawn again. An icon is
// also let go when its path leaves the list, and with the window. While the window is minimised
// no look begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launch/start_plan.h"
#include "platform/platform.h"

namespace marlo {

inline constexpr std::size_t kIconsOffScreen = 256;

// What one look found: the entry worked out, and its program's mark and icon.
struct EntryLook {
  EntryStart entry;
  bool certain = true;  // every file it asked about was answered
  ProgramLook look;
};

// The look itself, on any thread: the entry `listed` worked out as `reach` reaches it, each file
// it names asked about once, whether its program is there, and its icon of `size` pixels.
EntryLook LookAtEntry(FileSystem& files, ProgramIcons& icons, const Reach& reach,
                      const std::string& listed, int size);

class ProgramLooks {
 public:
  // Hands `work` to the window's background lane; `then` follows on the window's thread.
  using OffThread = std::function<void(std::function<void()> work, std::function<void()> then)>;
  // The paths of the rows the window shows now (a path may be in more than one).
  using OnScreen = std::function<std::vector<std::string_view>()>;

  // `changed` shows what a look found; `paused` tells that no look should begin now.
  ProgramLooks(Platform& platform, Reach reach, OffThread off_thread, OnScreen on_screen,
               std::function<void()> changed, std::function<bool()> paused);
  ~ProgramLooks();
  ProgramLooks(const ProgramLooks&) = delete;
  ProgramLooks& operator=(const ProgramLooks&) = delete;

  // What is known of the program `listed`; one not known yet is looked for.
  ProgramLook Of(std::string_view listed);
  // The entry `listed` as its last look worked it out; nothing before a look came back.
  std::optional<EntryStart> EntryOf(std::string_view listed) const;
  // How many looks may be under way at once (kBackgroundAtOnce unless set).
  void SetLooksAtOnce(int looks) { at_once_ = looks; }
  // `listed` was edited: it is looked at afresh when asked for next.
  void Forget(const std::string& listed);
  // A list read anew: the looks of the paths it still has are kept, the others let go.
  void KeepOnly(const std::vector<std::string_view>& listed);
  // Icons of another size (a screen of another density): every program is looked at anew.
  void SetIconSize(int pixels);
  // The looks that waited while paused begin.
  void Resume() { LookNext(); }

 private:
  using Held = std::list<const std::string*>;
  struct Entry {
    ProgramLook look;
    std::optional<EntryStart> entry;
    bool asked = false;        // handed to a look (or waiting for one)
    bool kept = false;         // still in the list (while a new list is gone through)
    std::uint64_t drawn = 0;   // when its row was drawn last
    Held::iterator held;       // its place among the icons held, while it holds one
    std::uint64_t ticket = 0;  // of the last look handed over for it
  };
  std::vector<std::string_view> SortedOnScreen() const;
  void LookNext();
  void Looked(const std::string& listed, EntryLook found, std::uint64_t generation,
              std::uint64_t ticket);
  void LetGoOfIconsOffScreen();
  void LetGo(Entry& entry);
  void LetGo(ProgramLook& look);

  Platform& platform_;
  Reach reach_;
  OffThread off_thread_;
  OnScreen on_screen_;
  std::function<void()> changed_;
  std::function<bool()> paused_;
  std::map<std::string, Entry, std::less<>> entries_;
  std::vector<std::string> wanted_;  // asked for, not looked at yet: the last first
  Held held_;          // the paths whose icons are held, the least recently drawn first
  int under_way_ = 0;  // looks handed over that have not come back
  int at_once_ = kBackgroundAtOnce;
  std::uint64_t tickets_ = 0;
  std::uint64_t draws_ = 0;  // rows drawn
  int size_ = 16;
  std::uint64_t generation_ = 0;  // a look begun before the icon size changed is let go
};

}  // namespace marlo
