// The menu list file app.txt: one entry a line, caption "=" path, CR LF line ends. The rules here
// work on its text as UTF-8; the forms the file is written in are in list_form.h.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marlo {

// An entry: its caption, its path, and who it is meant for: the names of a third field that begins
// with "@" (the field without it; empty for an entry meant for everyone).
struct ListEntry {
  std::string caption;
  std::string path;
  std::string audience = {};  // none: for everyone
  bool operator==(const ListEntry& other) const {
    return caption == other.caption && path == other.path && audience == other.audience;
  }
};

// One entry as parts of the bytes it was read from.
struct EntryView {
  std::string_view caption;
  std::string_view path;
  std::string_view audience = {};
};

// Whether a workstation shows an entry meant for the audience given (names, without the "@").
using AudienceTest = std::function<bool(std::string_view)>;

// Captions and paths of the entries, as parts of `bytes`: one pass to count the lines, one to
// fill the two lists, each sized once. Nothing is copied. With `shown`, an entry with an audience
// is left out unless `shown` lets it in.
void EntryViewsOf(std::string_view bytes, bool complete, std::vector<std::string_view>& captions,
                  std::vector<std::string_view>& paths, const AudienceTest& shown = {});

// The name of the list file in a program folder.
std::string ListFilePath(const std::string& program_folder);

// Splits file bytes into lines. CR LF ends a line, and so does a CR alone; a LF alone is part of
// the line's text, as is every other byte. A last line without a line end is a line; a file that
// ends with a line end has no empty line after it. When `complete` is false the read stopped at a
// failure, and a trailing line without its line end is dropped: only whole lines count.
std::vector<std::string> SplitLines(const std::string& bytes, bool complete = true);

// The first `byte` in [from, end), or end. Eight bytes at a time (little-endian: the first byte
// is the lowest): the C runtime's memchr under Wine looks at one byte at a time, and the list is
// searched through at every start.
inline const char* FindByte(const char* from, const char* end, char byte) {
  const std::uint64_t ones = 0x0101010101010101ull;
  const std::uint64_t pattern = ones * static_cast<unsigned char>(byte);
  for (std::uint64_t word; end - from >= 8; from += 8) {
    std::memcpy(&word, from, 8);
    word ^= pattern;  // a zero byte where `byte` is
    const std::uint64_t zeros = (word - ones) & ~word & (ones << 7);
    if (zeros != 0) return from + (__builtin_ctzll(zeros) >> 3);
  }
  while (from != end && *from != byte) ++from;
  return from;
}

// The same lines, handed to `visit` one by one as parts of `bytes`, without copying them.
template <typename Visit>
void ForEachLine(std::string_view bytes, bool complete, Visit&& visit) {
  const char* start = bytes.data();
  const char* const end = start + bytes.size();
  while (start != end) {
    const char* cr = FindByte(start, end, '\r');
    if (cr == end) {
      if (complete) visit(std::string_view(start, end - start));
      return;
    }
    visit(std::string_view(start, cr - start));
    start = cr + 1;
    if (start != end && *start == '\n') ++start;
  }
}

// The number of lines ForEachLine hands over.
std::size_t CountLines(std::string_view bytes, bool complete);

// Caption and path of one line: the pieces 0 and 1 of the line cut at "="; piece 2 is the
// audience when it begins with "@" (a note there, written by hand, means nothing); further pieces
// are ignored, nothing is trimmed.
ListEntry ParseEntry(const std::string& line);
EntryView EntryOf(std::string_view line);

// The entries of a list's text: after a read failure (`complete` false), the whole lines read
// before it.
std::vector<ListEntry> EntriesOf(std::string_view text, bool complete);
inline std::vector<ListEntry> EntriesOf(const ReadResult& read) {
  return EntriesOf(read.bytes, read.ok);
}

// The bytes of a list file: every entry as caption "=" path CR LF, with "=@" and its audience
// before the line end when it has one; no entries gives no bytes.
std::string FormatListFile(const std::vector<ListEntry>& entries);

// Saves `bytes` as the program folder's app.txt. Every workstation reads that file at its
// start, so it is never deleted or written in place: the new list goes to a temporary file in the
// same folder first, and only a complete one replaces app.txt, in one step. Until then the old
// list stays as it was; on failure no temporary file is left behind.
Outcome SaveListFile(FileSystem& files, const std::string& program_folder,
                     const std::string& bytes);

}  // namespace marlo
