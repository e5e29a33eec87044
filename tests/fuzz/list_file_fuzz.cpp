// Any bytes at all as app.txt, in whatever form they seem to be (UTF-16 with either mark too). The
// menu's reader gives exactly the entries of the plain rules on the list's text (a line ends at CR
// LF or a lone CR; its caption and path are the pieces 0 and 1 at "=", its audience piece 2 after
// an "@"), the window shows those meant for it in order with the first selected, and what the
// Options window would write back, in the list's form, reads again as the same entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes.h"
#include "main_window/audience.h"
#include "main_window/list_file.h"
#include "main_window/list_form.h"
#include "main_window/master.h"
#include "main_window/pieces.h"
#include "platform/utf8.h"

namespace {

// Pieces 0 and 1, and piece 2 as the audience when it begins with "@".
marlo::ListEntry PlainEntry(const std::vector<std::string>& pieces) {
  const std::string third = marlo::PieceAt(pieces, 2);
  return {marlo::PieceAt(pieces, 0), marlo::PieceAt(pieces, 1),
          !third.empty() && third[0] == '@' ? third.substr(1) : ""};
}

// Whether a workstation with no name, whose user has no name and no groups, shows an entry: only
// an audience of no names, or a name of stars alone (on either side of one "\\"), fits it.
bool PlainShown(const std::string& audience) {
  const auto stars = [](std::string_view text) {
    return text.find_first_not_of('*') == std::string_view::npos;
  };
  const auto names = marlo::AudienceNames(audience);
  return names.empty() || std::any_of(names.begin(), names.end(), [&](std::string_view name) {
           const auto slash = name.find('\\');
           return slash == name.npos
                      ? stars(name)
                      : stars(name.substr(0, slash)) && stars(name.substr(slash + 1));
         });
}

// The rules written out the slow, obvious way.
std::vector<marlo::ListEntry> PlainEntries(const std::string& bytes, bool complete) {
  std::vector<marlo::ListEntry> entries;
  std::string line;
  bool open = false;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if (bytes[at] == '\r') {
      const auto pieces = marlo::CutPieces(line, '=');
      entries.push_back(PlainEntry(pieces));
      line.clear();
      open = false;
      if (at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
    } else {
      line += bytes[at];
      open = true;
    }
  }
  if (open && complete) {
    const auto pieces = marlo::CutPieces(line, '=');
    entries.push_back(PlainEntry(pieces));
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool complete = size == 0 || data[size - 1] != 0xFF;  // a read cut short, now and then

  fakes::Locale locale;
  const auto list = marlo::DecodeList({{complete}, bytes}, locale);
  const std::string text(list.Text());
  if (list.form == marlo::ListForm::kUtf16Le || list.form == marlo::ListForm::kUtf16Be) {
    // Nothing lost: the text goes back to the units it was read from, half a unit at the end
    // (U+FFFD) aside; after a failed read, to those of its whole lines.
    std::string units = marlo::Utf16Of(text, list.form == marlo::ListForm::kUtf16Be);
    if (complete && size % 2 == 1) units.resize(units.size() - 2);
    if (bytes.compare(2, units.size(), units) != 0) std::abort();
    if (complete && units.size() != (size - 2) / 2 * 2) std::abort();
  } else if (list.form != marlo::ListForm::kUtf8WithMark && !marlo::IsUtf8(text)) {
    std::abort();
  }
  const auto entries = marlo::EntriesOf(text, complete);
  if (entries != PlainEntries(text, complete)) std::abort();
  if (marlo::CountLines(text, complete) != entries.size()) std::abort();

  const auto written = marlo::EncodeList(entries, list.form, locale);
  const auto again = marlo::DecodeList({{true}, written.bytes}, locale);
  if (marlo::EntriesOf(again.Text(), true) != entries) std::abort();

  // The main window reads the same entries.
  fakes::Machine machine;
  machine.files.files["D:\\MENU\\app.txt"].bytes = bytes;
  if (!complete) machine.files.fail_read_after["D:\\MENU\\app.txt"] = bytes.size();
  machine.identity.computer = machine.identity.user = machine.identity.domain = "";
  fakes::MasterView view;
  marlo::Master master(machine.platform, view);
  master.Form_Load();
  std::vector<marlo::ListEntry> shown;
  for (const auto& entry : entries) {
    if (PlainShown(entry.audience)) shown.push_back(entry);
  }
  if (view.menu.size() != shown.size()) std::abort();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (view.menu[i] != shown[i].caption || master.List5()[i] != shown[i].path) std::abort();
  }
  if (view.selection != (shown.empty() ? -1 : 0)) std::abort();
  if (master.Label12 != (shown.empty() ? "" : shown[0].path)) std::abort();
  if (machine.files.Text("D:\\MENU\\app.txt") != bytes) std::abort();
  return 0;
}
