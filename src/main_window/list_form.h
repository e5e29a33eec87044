// The forms app.txt is written in, and its text as the program keeps it: UTF-8.
//
// Lists have always been saved in the machine's ANSI code page; editors of today save UTF-8, with
// or without a byte-order mark, and Windows PowerShell and Notepad's "Unicode" save UTF-16 with a
// mark. A list is read in the form it was written and saved in that form again, so every list that
// worked before reads and saves exactly as it did.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "main_window/list_file.h"
#include "platform/platform.h"

namespace marlo {

enum class ListForm { kAnsi, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be };

// The byte-order marks that open a UTF-8 and a UTF-16 file (little-endian, big-endian).
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// The form of a list file's bytes: UTF-16 or UTF-8 when they open with its mark; UTF-8 when they
// are UTF-8 and hold a byte above 0x7F; the ANSI code page otherwise. Plain ASCII is ANSI and
// UTF-8 at once and counts as ANSI, the form new lists are written in.
ListForm FormOf(std::string_view bytes);

// UTF-16 units (two bytes each, in the byte order given) as UTF-8, and back. Nothing is lost on
// the way there and back: a surrogate without its partner is kept as the three bytes its unit
// would have as a character (a form UTF-8 itself rules out), so it is written back as it was.
// Half a unit at the end becomes U+FFFD, and so does any byte of the text that is no UTF-8.
std::string Utf8OfUtf16(std::string_view units, bool big_endian);
std::string Utf16Of(std::string_view text, bool big_endian);

// A list beyond sense (a wrong file saved as app.txt, say) is cut: no more than this is read of
// it, and no more entries than this are shown.
inline constexpr std::size_t kMostListBytes = 64u << 20;
inline constexpr std::size_t kMostEntries = 1'000'000;

// What the windows tell the user when a list was cut.
std::string CutMessage(std::size_t shown);

// The list as read, as UTF-8 text of whole lines: the bytes themselves for a UTF-8 list (after its
// mark) and an ANSI list of plain ASCII; an ANSI or UTF-16 list converted, in one pass.
struct ListText {
  ListForm form = ListForm::kAnsi;
  std::string bytes;
  std::size_t skip = 0;  // the mark, not part of the first caption
  bool cut = false;      // the file holds more than the text: it was too long
  std::string_view Text() const { return std::string_view(bytes).substr(skip); }
};

// After a read that failed, or stopped at its limit, only whole lines count: what follows the last
// line end is left out before the form is told, so a character cut in two does not make a UTF-8
// list look like an ANSI one. Lines after the first kMostEntries are left out too.
ListText DecodeList(ReadResult read, Locale& locale);

// The bytes of a list file holding `entries`, in `form`. A list in the ANSI code page that holds a
// character the code page has no place for is written as UTF-8 with a mark instead, which every
// copy of the menu reads: a character is never replaced. `form` in the result is the form written.
struct EncodedList {
  ListForm form;
  std::string bytes;
};
EncodedList EncodeList(const std::vector<ListEntry>& entries, ListForm form, Locale& locale);

}  // namespace marlo
