#include "main_window/list_form.h"

#include <cstring>

#include "platform/utf8.h"

namespace marlo {
namespace {

// The form the mark that opens `bytes` stands for; kAnsi where none does.
ListForm MarkedForm(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return ListForm::kUtf8WithMark;
  if (bytes.substr(0, kUtf16LeMark.size()) == kUtf16LeMark) return ListForm::kUtf16Le;
  if (bytes.substr(0, kUtf16BeMark.size()) == kUtf16BeMark) return ListForm::kUtf16Be;
  return ListForm::kAnsi;
}

bool IsUtf16(ListForm form) { return form == ListForm::kUtf16Le || form == ListForm::kUtf16Be; }

// The form of bytes whose first byte above 0x7F is at `high` (their size when there is none).
ListForm FormOf(std::string_view bytes, std::size_t high) {
  const ListForm marked = MarkedForm(bytes);
  if (marked != ListForm::kAnsi) return marked;
  return high < bytes.size() && IsUtf8(bytes.substr(high)) ? ListForm::kUtf8 : ListForm::kAnsi;
}

// Character `c` in UTF-8 at `out`; the bytes written. A lone surrogate gets the three bytes of
// its number, as any character of the range would.
std::size_t PutUtf8(unsigned c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  const std::size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  for (std::size_t i = length - 1; i > 0; --i, c >>= 6) {
    out[i] = static_cast<char>(0x80 | (c & 0x3F));
  }
  out[0] = static_cast<char>((length == 2 ? 0xC0 : length == 3 ? 0xE0 : 0xF0) | c);
  return length;
}

}  // namespace

ListForm FormOf(std::string_view bytes) { return FormOf(bytes, AsciiRun(bytes)); }

// Plain ASCII, the bulk of most lists, goes four units at a time; the text is filled a piece at
// a time from a buffer on the stack.
std::string Utf8OfUtf16(std::string_view units, bool big_endian) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(units.data());
  const auto unit = [&](std::size_t i) -> unsigned {
    const unsigned first = bytes[2 * i], second = bytes[2 * i + 1];
    return big_endian ? first << 8 | second : second << 8 | first;
  };
  const std::uint64_t not_ascii = big_endian ? 0x80FF80FF80FF80FFull : 0xFF80FF80FF80FF80ull;
  const std::size_t count = units.size() / 2;
  std::string text;
  text.reserve(count + 3);
  char piece[4096 + 8];
  std::size_t filled = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t word;
    if (i + 4 <= count && (std::memcpy(&word, bytes + 2 * i, 8), (word & not_ascii) == 0)) {
      for (std::size_t k = 0; k < 4; ++k) piece[filled++] = static_cast<char>(unit(i + k));
      i += 3;
    } else {
      unsigned c = unit(i);
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && unit(i + 1) >= 0xDC00 &&
          unit(i + 1) < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00);
      }
      filled += PutUtf8(c, piece + filled);
    }
    if (filled >= 4096) {
      text.append(piece, filled);
      filled = 0;
    }
  }
  if (units.size() % 2 != 0) filled += PutUtf8(0xFFFD, piece + filled);
  text.append(piece, filled);
  return text;
}

std::string Utf16Of(std::string_view text, bool big_endian) {
  std::string units;
  units.reserve(2 * text.size());
  const auto put = [&](unsigned unit) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    units += big_endian ? high : low;
    units += big_endian ? low : high;
  };
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    std::size_t length = Utf8Length(text.substr(at));
    // A lone surrogate as it was read: ED, then A0 to BF, then a continuation byte.
    if (length == 0 && at + 2 < text.size() && byte(0) == 0xED && byte(1) >= 0xA0 &&
        (byte(2) & 0xC0) == 0x80) {
      length = 3;
    }
    if (length == 0) {
      put(0xFFFD);
      ++at;
      continue;
    }
    unsigned c = byte(0) & (length == 1 ? 0x7Fu : 0xFFu >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) c = c << 6 | (byte(i) & 0x3Fu);
    at += length;
    if (c < 0x10000) {
      put(c);
    } else {
      put(0xD800 | (c - 0x10000) >> 10);
      put(0xDC00 | (c & 0x3FF));
    }
  }
  return units;
}

std::string CutMessage(std::size_t shown) {
  return "App.txt holds more than can be shown (over 1,000,000 entries or 64 MB). Only its first " +
         std::to_string(shown) + " entries are shown.";
}

ListText DecodeList(ReadResult read, Locale& locale) {
  std::string bytes = std::move(read.bytes);
  ListText list;
  list.cut = read.cut;
  // UTF-16 is made UTF-8 first: the line ends below are looked for in the UTF-8.
  const ListForm marked = MarkedForm(bytes);
  if (IsUtf16(marked)) {
    bytes = Utf8OfUtf16(std::string_view(bytes).substr(2), marked == ListForm::kUtf16Be);
  }
  if (!read.ok || read.cut) {
    const auto last_line_end = bytes.find_last_of('\r');
    bytes.resize(last_line_end == std::string::npos ? 0 : last_line_end + 1);
  }
  // The line end of the last entry shown (a CR, and the LF after it).
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  for (std::size_t lines = 0; lines < kMostEntries && at != end; ++lines) {
    at = FindByte(at, end, '\r');
    if (at != end) ++at;
    if (at != end && *at == '\n') ++at;
  }
  if (at != end) {
    bytes.resize(static_cast<std::size_t>(at - bytes.data()));
    bytes.shrink_to_fit();  // the rest of the file is not kept
    list.cut = true;
  }
  if (IsUtf16(marked)) {
    list.form = marked;
    list.bytes = std::move(bytes);
    return list;
  }
  const std::size_t high = AsciiRun(bytes);
  list.form = FormOf(bytes, high);
  if (list.form == ListForm::kUtf8WithMark) list.skip = kUtf8Mark.size();
  if (list.form == ListForm::kAnsi && high < bytes.size()) bytes = locale.FromAnsi(bytes);
  list.bytes = std::move(bytes);
  return list;
}

// Bytes without a mark must also read back in the form they were written in: ANSI bytes that
// happen to be UTF-8 (once the field that held the telling byte is gone, say), or a first caption
// that opens with what looks like a mark, would read as other text. Those lists get the mark.
EncodedList EncodeList(const std::vector<ListEntry>& entries, ListForm form, Locale& locale) {
  std::string text = FormatListFile(entries);
  if (IsUtf16(form)) {
    const bool big_endian = form == ListForm::kUtf16Be;
    return {form,
            std::string(big_endian ? kUtf16BeMark : kUtf16LeMark) + Utf16Of(text, big_endian)};
  }
  if (form == ListForm::kAnsi && AsciiRun(text) < text.size()) {
    bool exact = true;
    std::string ansi = locale.ToAnsi(text, exact);
    if (exact && FormOf(ansi) == ListForm::kAnsi) return {form, std::move(ansi)};
    form = ListForm::kUtf8WithMark;
  }
  if (form != ListForm::kUtf8WithMark && MarkedForm(text) != ListForm::kAnsi) {
    form = ListForm::kUtf8WithMark;
  }
  if (form == ListForm::kUtf8WithMark) text.insert(0, kUtf8Mark);
  return {form, std::move(text)};
}

}  // namespace marlo
