#include "main_window/list_form.h"

#include "platform/utf8.h"

namespace marlo {
namespace {

// The form of bytes whose first byte above 0x7F is at `high` (their size when there is none).
ListForm FormOf(std::string_view bytes, std::size_t high) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return ListForm::kUtf8WithMark;
  return high < bytes.size() && IsUtf8(bytes.substr(high)) ? ListForm::kUtf8 : ListForm::kAnsi;
}

}  // namespace

ListForm FormOf(std::string_view bytes) { return FormOf(bytes, AsciiRun(bytes)); }

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
  if (form == ListForm::kAnsi && AsciiRun(text) < text.size()) {
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
