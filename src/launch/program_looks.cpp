#include "launch/program_looks.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/paths.h"

namespace marlo {

// The file system is asked only what the split of the listed path needs (on a client each
// question goes to the server, a file asked about twice is asked once); whether the program itself
// is there is told by the reading of its icon, which opens it anyway.
namespace {

bool IsFullPath(const std::string& path) {
  return IsShareForm(path) || (path.size() >= 3 && path[1] == ':' && path[2] == '\\');
}

}  // namespace

ProgramLook LookAtProgram(FileSystem& files, ProgramIcons& icons,
                          const std::function<std::string(const std::string&)>& reach,
                          const std::string& listed, int size) {
  std::map<std::string, bool> named;
  const auto names_file = [&](const std::string& path) {
    const auto [known, added] = named.try_emplace(reach(path), false);
    if (added) known->second = NamesFile(files, known->first);
    return known->second;
  };
  const std::string program = reach(SplitStartCommand(listed, names_file).program);
  // A path that is not a full one is looked for as the start looks for it (the icon's reading
  // would look along the system's search path).
  if (!IsFullPath(program)) names_file(program);
  const auto known = named.find(program);
  if (known != named.end() && !known->second) return {ProgramMark::kMissing, 0};
  const std::optional<std::uintptr_t> icon = icons.IconOf(program, size);
  if (icon) return {ProgramMark::kFound, *icon};
  // A file the search found but whose icon could not be read is there all the same.
  return {known != named.end() ? ProgramMark::kFound : ProgramMark::kMissing, 0};
}

ProgramLooks::ProgramLooks(Platform& platform, Reach reach, OffThread off_thread,
                           std::function<void()> changed, std::function<bool()> paused)
    : platform_(platform),
      reach_(std::move(reach)),
      off_thread_(std::move(off_thread)),
      changed_(std::move(changed)),
      paused_(std::move(paused)) {}

ProgramLooks::~ProgramLooks() {
  for (auto& [listed, entry] : entries_) Let(entry.look);
}

void ProgramLooks::Let(ProgramLook& look) {
  if (look.icon != 0) platform_.icons.Free(look.icon);
  look.icon = 0;
}

ProgramLook ProgramLooks::Of(std::string_view listed) {
  auto found = entries_.find(listed);
  if (found == entries_.end()) found = entries_.emplace(std::string(listed), Entry{}).first;
  Entry& entry = found->second;
  if (!entry.asked) {
    entry.asked = true;
    wanted_.push_back(found->first);
    LookNext();
  }
  return entry.look;
}

void ProgramLooks::Forget(const std::string& listed) {
  const auto found = entries_.find(listed);
  if (found == entries_.end()) return;
  Let(found->second.look);
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
    Let(entry->second.look);
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
  for (auto& [listed, entry] : entries_) Let(entry.look);
  entries_.clear();
  wanted_.clear();
  changed_();
}

// One look at a time, so that the rows asked for last are looked at next, and a minimised window
// asks nothing more of the server.
void ProgramLooks::LookNext() {
  while (!looking_ && !wanted_.empty() && !paused_()) {
    std::string listed = std::move(wanted_.back());
    wanted_.pop_back();
    if (!entries_.count(listed)) continue;
    looking_ = true;
    // What the look found waits here for the window; the icon goes with it if the window never
    // takes it (the window closed meanwhile).
    struct Found {
      ProgramIcons& icons;
      ProgramLook look;
      ~Found() {
        if (look.icon != 0) icons.Free(look.icon);
      }
    };
    auto found = std::make_shared<Found>(Found{platform_.icons, {}});
    off_thread_(
        [&files = platform_.files, &icons = platform_.icons, reach = reach_, listed, size = size_,
         found] { found->look = LookAtProgram(files, icons, reach, listed, size); },
        [this, listed, found, generation = generation_] {
          Looked(listed, std::exchange(found->look, {}), generation);
        });
  }
}

void ProgramLooks::Looked(const std::string& listed, ProgramLook look, std::uint64_t generation) {
  looking_ = false;
  const auto entry = entries_.find(listed);
  if (generation != generation_ || entry == entries_.end()) {
    Let(look);  // no longer wanted
  } else {
    Let(entry->second.look);
    entry->second.look = look;
    changed_();
  }
  LookNext();
}

}  // namespace marlo
