#include "launch/program_looks.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "platform/paths.h"

namespace marlo {

// The file system is asked only what the split of the listed path needs (on a client each
// question goes to the server, a file asked about twice is asked once); whether the program itself
// is there is told by the reading of its icon, which opens it anyway. An entry split by a search
// that could not be made (a share that dropped for a moment) is not kept for the start, which
// then asks again.
EntryLook LookAtEntry(FileSystem& files, ProgramIcons& icons, const Reach& reach,
                      const std::string& listed, int size) {
  std::map<std::string, bool> named;
  EntryLook found;
  found.entry = EntryStartOf(listed, reach, [&](const std::string& path) {
    const auto [known, added] = named.try_emplace(path, false);
    if (added) {
      const std::optional<bool> there = NamesFile(files, path);
      found.certain = found.certain && there.has_value();
      known->second = there.value_or(false);
    }
    return known->second;
  });
  const std::string& program = found.entry.plan.program;
  const auto known = named.find(program);
  if (known != named.end() && !known->second) {
    found.look = {ProgramMark::kMissing, 0};
  } else if (const std::optional<std::uintptr_t> icon = icons.IconOf(program, size)) {
    found.look = {ProgramMark::kFound, *icon};
  } else {
    // A file the search found but whose icon could not be read is there all the same.
    found.look = {known != named.end() ? ProgramMark::kFound : ProgramMark::kMissing, 0};
  }
  return found;
}

ProgramLooks::ProgramLooks(Platform& platform, Reach reach, OffThread off_thread,
                           OnScreen on_screen, std::function<void()> changed,
                           std::function<bool()> paused)
    : platform_(platform),
      reach_(std::move(reach)),
      off_thread_(std::move(off_thread)),
      on_screen_(std::move(on_screen)),
      changed_(std::move(changed)),
      paused_(std::move(paused)) {}

ProgramLooks::~ProgramLooks() {
  for (auto& [listed, entry] : entries_) LetGo(entry.look);
}

void ProgramLooks::LetGo(ProgramLook& look) {
  if (look.icon != 0) platform_.icons.Free(look.icon);
  look.icon = 0;
}

void ProgramLooks::LetGo(Entry& entry) {
  if (entry.look.icon != 0) held_.erase(entry.held);
  LetGo(entry.look);
}

// A row drawn moves its icon to the end of those held: the last to be let go.
ProgramLook ProgramLooks::Of(std::string_view listed) {
  auto found = entries_.find(listed);
  if (found == entries_.end()) found = entries_.emplace(std::string(listed), Entry{}).first;
  Entry& entry = found->second;
  entry.drawn = ++draws_;
  if (entry.look.icon != 0) held_.splice(held_.end(), held_, entry.held);
  // The look goes first: the next look may let go of this entry (its row off screen).
  const ProgramLook look = entry.look;
  if (!entry.asked) {
    entry.asked = true;
    wanted_.push_back(found->first);
    LookNext();
  }
  return look;
}

std::optional<EntryStart> ProgramLooks::EntryOf(std::string_view listed) const {
  const auto found = entries_.find(listed);
  if (found == entries_.end()) return std::nullopt;
  return found->second.entry;
}

void ProgramLooks::Forget(const std::string& listed) {
  const auto found = entries_.find(listed);
  if (found == entries_.end()) return;
  LetGo(found->second);
  entries_.erase(found);
}

// One pass over the new list, asking the few looks kept for each path: a list of a million
// entries is neither copied nor sorted.
void ProgramLooks::KeepOnly(const std::vector<std::string_view>& listed) {
  for (auto& [path, entry] : entries_) entry.kept = false;
  for (const std::string_view path : listed) {
    const auto found = entries_.find(path);
    if (found != entries_.end()) found->second.kept = true;
  }
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    if (entry->second.kept) {
      ++entry;
      continue;
    }
    LetGo(entry->second);
    entry = entries_.erase(entry);
  }
  wanted_.erase(std::remove_if(wanted_.begin(), wanted_.end(),
                               [&](const std::string& path) { return !entries_.count(path); }),
                wanted_.end());
}

void ProgramLooks::SetIconSize(int pixels) {
  if (pixels == size_) return;
  size_ = pixels;
  ++generation_;
  for (auto& [listed, entry] : entries_) LetGo(entry.look);
  entries_.clear();
  held_.clear();
  wanted_.clear();
  changed_();
}

std::vector<std::string_view> ProgramLooks::SortedOnScreen() const {
  std::vector<std::string_view> shown = on_screen_();
  std::sort(shown.begin(), shown.end());
  shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
  return shown;
}

// Up to at_once_ looks at once (at most as many as the background lane runs together), so that the
// rows asked for last are looked at next, a look whose row has left the screen meanwhile is not
// made, and a minimised window asks nothing more of the server.
void ProgramLooks::LookNext() {
  if (under_way_ >= at_once_ || wanted_.empty() || paused_()) return;
  const std::vector<std::string_view> shown = SortedOnScreen();
  while (under_way_ < at_once_ && !wanted_.empty()) {
    std::string listed = std::move(wanted_.back());
    wanted_.pop_back();
    const auto entry = entries_.find(listed);
    if (entry == entries_.end()) continue;
    if (!std::binary_search(shown.begin(), shown.end(), std::string_view(listed))) {
      LetGo(entry->second);  // looked at as a new one when its row is drawn again
      entries_.erase(entry);
      continue;
    }
    ++under_way_;
    // Looks of one path may be under way together (one begun before the path was looked at
    // afresh): only the last one handed over counts.
    const std::uint64_t ticket = entry->second.ticket = ++tickets_;
    // What the look found waits here for the window; the icon goes with it if the window never
    // takes it (the window closed meanwhile).
    struct Found {
      ProgramIcons& icons;
      EntryLook found;
      ~Found() {
        if (found.look.icon != 0) icons.Free(found.look.icon);
      }
    };
    auto found = std::make_shared<Found>(Found{platform_.icons, {}});
    off_thread_(
        [&files = platform_.files, &icons = platform_.icons, reach = reach_, listed, size = size_,
         found] { found->found = LookAtEntry(files, icons, reach, listed, size); },
        [this, listed, found, generation = generation_, ticket] {
          Looked(listed, std::exchange(found->found, {}), generation, ticket);
        });
  }
}

// A look that comes back for a row that has left the screen meanwhile is kept as any other.
void ProgramLooks::Looked(const std::string& listed, EntryLook found, std::uint64_t generation,
                          std::uint64_t ticket) {
  --under_way_;
  const auto entry = entries_.find(listed);
  const ProgramLook look = found.look;
  if (generation != generation_ || entry == entries_.end() || entry->second.ticket != ticket) {
    LetGo(found.look);  // no longer wanted
  } else {
    LetGo(entry->second);
    entry->second.look = look;
    if (found.certain) entry->second.entry = std::move(found.entry);
    if (look.icon != 0) {
      // Among the icons held by when its row was drawn last (others may have been drawn since).
      auto place = held_.end();
      while (place != held_.begin() &&
             entries_.find(**std::prev(place))->second.drawn > entry->second.drawn) {
        --place;
      }
      entry->second.held = held_.insert(place, &entry->first);
    }
    LetGoOfIconsOffScreen();
    changed_();
  }
  LookNext();
}

// The icons of the rows on screen stay; of the others, the kIconsOffScreen drawn last. A row
// whose icon goes is looked at as a new one when it is drawn again.
void ProgramLooks::LetGoOfIconsOffScreen() {
  if (held_.size() <= kIconsOffScreen) return;
  const std::vector<std::string_view> shown = SortedOnScreen();
  std::size_t held_on_screen = 0;
  for (const std::string_view path : shown) {
    const auto entry = entries_.find(path);
    if (entry != entries_.end() && entry->second.look.icon != 0) ++held_on_screen;
  }
  for (auto oldest = held_.begin();
       oldest != held_.end() && held_.size() - held_on_screen > kIconsOffScreen;) {
    const std::string& path = **oldest++;
    if (std::binary_search(shown.begin(), shown.end(), std::string_view(path))) continue;
    const auto entry = entries_.find(path);
    LetGo(entry->second);
    entries_.erase(entry);
  }
}

}  // namespace marlo
