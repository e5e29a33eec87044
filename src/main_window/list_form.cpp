#include "main_window/list_form.h"

#include <cstdint>
#include <cstring>

namespace marlo {
namespace {

// Where the first byte above 0x7F is, or the size when there is none. Plain ASCII is passed over
// eight bytes at a time.
std::size_t FirstHighByte(std::string_view bytes) {
  std::size_t at = 0;
  for (std::uint64_t word; at + 8 <= bytes.size(); at += 8) {
    std::memcpy(&word, bytes.data() + at, 8);
    if ((word & 0x8080808080808080ull) != 0) break;
  }
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) ++at;
  return at;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (std::size_t at = FirstHighByte(bytes); at < bytes.size();
       at += FirstHighByte(bytes.substr(at))) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    // The lead byte gives the length, and the range of the byte after it (which rules out
    // overlong forms, surrogates and what lies above U+10FFFF).
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    const unsigned char lead = byte(0);
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (bytes.size() - at < length || byte(1) < low || byte(1) > high) return false;
    for (std::size_t i = 2; i < length; ++i) {
      if ((byte(i) & 0xC0) != 0x80) return false;
    }
    at += length;
  }
  return true;
}

ListForm FormOf(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return ListForm::kUtf8WithMark;
  const std::size_t high = FirstHighByte(bytes);
  return high < bytes.size() && IsUtf8(bytes.substr(high)) ? ListForm::kUtf8 : ListForm::kAnsi;
}

std::string CutMessage(std::size_t shown) {
  return "App.txt holds more than can be shown (over 1,000,000 entries or 64 MB). Only its first " +
         std::to_string(shown) + " entries are shown.";
}

ListText DecodeList(ReadResult read, Locale& locale) {
  std::string bytes = std::move(read.bytes);
  ListText list;
  list.cut = read.cut;
  if (!read.complete || read.cut) {
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
  list.form = FormOf(bytes);
  if (list.form == ListForm::kUtf8WithMark) list.skip = kUtf8Mark.size();
  if (list.form == ListForm::kAnsi && FirstHighByte(bytes) < bytes.size()) {
    bytes = locale.FromAnsi(bytes);
  }
  list.bytes = std::move(bytes);
  return list;
}

// Bytes without a mark must also read back in the form they were written in: ANSI bytes that
// happen to be UTF-8 (once the field that held the telling byte is gone, say), or a first caption
// that opens with what looks like a mark, would read as other text. Those lists get the mark.
EncodedList EncodeList(const std::vector<ListEntry>& entries, ListForm form, Locale& locale) {
  std::string text = FormatListFile(entries);
  if (form == ListForm::kAnsi && FirstHighByte(text) < text.size()) {
    bool exact = true;
    std::string ansi = locale.ToAnsi(text, exact);
    if (exact && FormOf(ansi) == ListForm::kAnsi) return {form, std::move(ansi)};
    form = ListForm::kUtf8WithMark;
  }
  if (form != ListForm::kUtf8WithMark && FormOf(text) == ListForm::kUtf8WithMark) {
    form = ListForm::kUtf8WithMark;
  }
  if (form == ListForm::kUtf8WithMark) text.insert(0, kUtf8Mark);
  return {form, std::move(text)};
}

}  // namespace marlo
