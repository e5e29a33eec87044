#include "main_window/list_file.h"

namespace marlo {

std::string ListFilePath(const std::string& program_folder) { return program_folder + "\\app.txt"; }

std::vector<std::string> SplitLines(const std::string& bytes, bool complete) {
  std::vector<std::string> lines;
  ForEachLine(bytes, complete, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::size_t CountLines(std::string_view bytes, bool complete) {
  std::size_t lines = 0;
  ForEachLine(bytes, complete, [&](std::string_view) { ++lines; });
  return lines;
}

EntryView EntryOf(std::string_view line) {
  const char* const end = line.data() + line.size();
  const char* const first = FindByte(line.data(), end, '=');
  if (first == end) return {line, {}, {}};
  const char* const second = FindByte(first + 1, end, '=');
  EntryView entry{std::string_view(line.data(), first - line.data()),
                  std::string_view(first + 1, second - first - 1),
                  {}};
  if (end - second > 1 && second[1] == '@') {
    const char* const third = FindByte(second + 2, end, '=');
    entry.audience = std::string_view(second + 2, third - second - 2);
  }
  return entry;
}

void EntryViewsOf(std::string_view bytes, bool complete, std::vector<std::string_view>& captions,
                  std::vector<std::string_view>& paths, const AudienceTest& shown) {
  const std::size_t lines = CountLines(bytes, complete);
  captions.reserve(captions.size() + lines);
  paths.reserve(paths.size() + lines);
  ForEachLine(bytes, complete, [&](std::string_view line) {
    const EntryView entry = EntryOf(line);
    if (shown && !entry.audience.empty() && !shown(entry.audience)) return;
    captions.push_back(entry.caption);
    paths.push_back(entry.path);
  });
}

ListEntry ParseEntry(const std::string& line) {
  const EntryView entry = EntryOf(line);
  return {std::string(entry.caption), std::string(entry.path), std::string(entry.audience)};
}

std::vector<ListEntry> EntriesOf(std::string_view text, bool complete) {
  std::vector<ListEntry> entries;
  entries.reserve(CountLines(text, complete));
  ForEachLine(text, complete, [&](std::string_view line) {
    const EntryView entry = EntryOf(line);
    entries.push_back(
        {std::string(entry.caption), std::string(entry.path), std::string(entry.audience)});
  });
  return entries;
}

std::string FormatListFile(const std::vector<ListEntry>& entries) {
  std::string bytes;
  for (const auto& entry : entries) {
    bytes += entry.caption + "=" + entry.path;
    if (!entry.audience.empty()) bytes += "=@" + entry.audience;
    bytes += "\r\n";
  }
  return bytes;
}

// The new list is app.txt's from its first moment: it is made with app.txt's owner and access
// control list (a list the admin made read-only for its users must not become writable by them,
// not even while it is written: a save is refused rather than widening access), and held by this
// program alone until it has taken app.txt's place. It keeps app.txt's attributes and creation
// time, and is marked for backup, as new content is. Only where there is no app.txt yet does it
// get the folder's defaults. Whatever fails, the new file goes, or the message names it.
Outcome SaveListFile(FileSystem& files, const std::string& program_folder,
                     const std::string& bytes) {
  const std::string list = ListFilePath(program_folder);
  FileLook look = files.Look(list);
  if (!look.ok && !look.missing) {
    return Outcome::Failed("app.txt could not be replaced (its permissions could not be read: " +
                           look.Message() + ")");
  }
  if (look.read_only) return Outcome::Failed("app.txt could not be replaced (it is read-only)");
  look.keep.archive = true;
  NewFile file = files.CreateNew(program_folder, look.keep);
  if (!file.ok)
    return Outcome::Failed("the new list could not be written (" + file.Message() + ")");
  std::string failed = "the new list could not be written";
  Outcome step = files.WriteNew(file, bytes);
  if (step.ok) {
    failed = "the new list could not be given app.txt's attributes";
    step = files.KeepNew(file, look.keep);
  }
  if (step.ok) {
    failed = "app.txt could not be replaced";
    step = files.PlaceNew(file, list, !look.missing);
  }
  if (step.ok) return step;
  const Outcome discarded = files.DiscardNew(file);
  return Outcome::Failed(failed + " (" + step.Message() + ")" +
                         (discarded.ok ? "" : "; the new file stays: " + discarded.Message()));
}

}  // namespace marlo
