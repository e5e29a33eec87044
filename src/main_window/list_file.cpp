#include "main_window/list_file.h"

#include "platform/paths.h"

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
  if (first == end) return {line, {}};
  const char* const second = FindByte(first + 1, end, '=');
  return {std::string_view(line.data(), first - line.data()),
          std::string_view(first + 1, second - first - 1)};
}

void EntryViewsOf(std::string_view bytes, bool complete, std::vector<std::string_view>& captions,
                  std::vector<std::string_view>& paths) {
  const std::size_t lines = CountLines(bytes, complete);
  captions.reserve(captions.size() + lines);
  paths.reserve(paths.size() + lines);
  ForEachLine(bytes, complete, [&](std::string_view line) {
    const EntryView entry = EntryOf(line);
    captions.push_back(entry.caption);
    paths.push_back(entry.path);
  });
}

ListEntry ParseEntry(const std::string& line) {
  const EntryView entry = EntryOf(line);
  return {std::string(entry.caption), std::string(entry.path)};
}

std::vector<ListEntry> EntriesOf(std::string_view text, bool complete) {
  std::vector<ListEntry> entries;
  entries.reserve(CountLines(text, complete));
  ForEachLine(text, complete, [&](std::string_view line) {
    const EntryView entry = EntryOf(line);
    entries.push_back({std::string(entry.caption), std::string(entry.path)});
  });
  return entries;
}

std::string FormatListFile(const std::vector<ListEntry>& entries) {
  std::string bytes;
  for (const auto& entry : entries) bytes += entry.caption + "=" + entry.path + "\r\n";
  return bytes;
}

FileResult SaveListFile(FileSystem& files, const std::string& program_folder,
                        const std::string& bytes) {
  FileResult written = files.WriteTemporary(program_folder, bytes);
  if (!written.ok) {
    if (!written.path.empty()) files.Remove(written.path);
    written.reason = "the new list could not be written (" + written.reason + ")";
    return written;
  }
  // An app.txt that is there keeps its own permissions and attributes (read-only for its users,
  // say): the new list takes its place. Only where there is none yet does the new file get the
  // name, as a file of the folder's defaults. A lookup that could not be made counts as "there":
  // a rename never puts a list over another.
  const std::string list = ListFilePath(program_folder);
  const bool there = LookFor(files, list, [](const DirEntry&) { return true; }).value_or(true);
  FileResult placed = there ? files.Replace(written.path, list) : files.Rename(written.path, list);
  if (!placed.ok) {
    files.Remove(written.path);
    placed.reason = "app.txt could not be replaced (" + placed.reason + ")";
  }
  return placed;
}

}  // namespace marlo
