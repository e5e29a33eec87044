#include "main_window/list_file.h"

#include "main_window/pieces.h"

namespace marlo {

std::string ListFilePath(const std::string& program_folder) { return program_folder + "\\app.txt"; }

std::vector<std::string> SplitLines(const std::string& bytes, bool complete) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  for (;;) {
    const auto cr = bytes.find('\r', start);
    if (cr == std::string::npos) break;
    lines.emplace_back(bytes, start, cr - start);
    start = cr + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  if (start < bytes.size() && complete) lines.emplace_back(bytes, start);
  return lines;
}

ListEntry ParseEntry(const std::string& line) {
  const auto pieces = CutPieces(line, '=');
  return {PieceAt(pieces, 0), PieceAt(pieces, 1)};
}

std::vector<ListEntry> EntriesOf(const ReadResult& read) {
  std::vector<ListEntry> entries;
  for (const auto& line : SplitLines(read.bytes, read.complete))
    entries.push_back(ParseEntry(line));
  return entries;
}

std::vector<ListEntry> ReadListFile(FileSystem& files, const std::string& path) {
  return EntriesOf(files.ReadAll(path));
}

std::string FormatListFile(const std::vector<ListEntry>& entries) {
  std::string bytes;
  for (const auto& entry : entries) bytes += entry.caption + "=" + entry.path + "\r\n";
  return bytes;
}

FileResult SaveListFile(FileSystem& files, const std::string& program_folder,
                        const std::vector<ListEntry>& entries) {
  FileResult written = files.WriteTemporary(program_folder, FormatListFile(entries));
  if (!written.ok) {
    if (!written.path.empty()) files.Remove(written.path);
    written.reason = "the new list could not be written (" + written.reason + ")";
    return written;
  }
  FileResult replaced = files.Replace(written.path, ListFilePath(program_folder));
  if (!replaced.ok) {
    files.Remove(written.path);
    replaced.reason = "app.txt could not be replaced (" + replaced.reason + ")";
  }
  return replaced;
}

}  // namespace marlo
