#include "options/optiona.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/utf8.h"

namespace marlo {
namespace {

constexpr int kEscape = 27;
const char* const kSaveFirst = "Please Save Before You Close";
const char* const kListTip = "Double Click to Select for Delete";

bool InRange(const std::optional<int>& row, const std::vector<ListEntry>& rows) {
  return row && *row >= 0 && static_cast<std::size_t>(*row) < rows.size();
}

// A list that is there but could not be read to its end.
bool CutShort(const ReadResult& read) { return !read.ok && !read.missing; }

ReadResult ReadList(FileSystem& files, const std::string& program_folder) {
  return files.ReadAll(ListFilePath(program_folder), kMostListBytes);
}

bool SameRead(const ReadResult& a, const ReadResult& b) {
  return a.missing == b.missing && a.ok == b.ok && a.bytes == b.bytes;
}

// The first `count` characters of UTF-8 `text` (all of it when it has fewer).
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (; at < text.size() && count > 0; --count) at += CharacterAt(text, at);
  return text.substr(0, at);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

// The Options window runs on the server: its rows' programs are reached as listed.
Optiona::Optiona(Platform& platform, OptionaView& view)
    : platform_(platform),
      view_(view),
      program_folder_(platform.env.ProgramFolder()),
      looks_(
          platform, Reach{program_folder_, ""},
          [this](std::function<void()> work, std::function<void()> then) {
            view_.OffThread(std::move(work), std::move(then));
          },
          [this] { return PathsOnScreen(); }, [this] { view_.RedrawRows(); },
          [] { return false; }) {}

// A list that is missing or cannot be read gives the rows read before the failure, if any. What
// was read is kept, so that a save can tell whether app.txt changed meanwhile.
void Optiona::Form_Load() {
  list_as_read_ = ReadList(platform_.files, program_folder_);
  const ListText list = DecodeList(list_as_read_, platform_.locale);
  form_ = list.form;
  cut_ = list.cut;
  rows_ = EntriesOf(list.Text(), true);
  saved_rows_ = rows_;
  view_.ShowRows(rows_, std::nullopt);
  if (cut_) view_.ShowMessage(CutMessage(rows_.size()), "RMX");
}

void Optiona::LV_Click() {
  const auto row = view_.SelectedRow();
  if (!InRange(row, rows_)) return;
  view_.SetNameField(rows_[*row].caption);
  view_.SetPathField(rows_[*row].path);
  view_.SetAudienceField(rows_[*row].audience);
  view_.ShowPosition(std::to_string(*row + 1));
}

void Optiona::LV_DblClick() {
  delete_enabled_ = true;
  view_.EnableDelete();
}

std::optional<int> Optiona::FindRow(const std::string& typed, int start, bool whole) {
  if (typed.empty() || rows_.empty()) return std::nullopt;
  const std::string upper = platform_.locale.UpperCase(typed);
  const auto characters = static_cast<std::size_t>(
      std::count_if(typed.begin(), typed.end(), [](char c) { return !IsContinuation(c); }));
  const std::size_t count = rows_.size();
  const std::size_t first = InRange(start, rows_) ? static_cast<std::size_t>(start) : 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t row = (first + i) % count;
    const std::string& name = rows_[row].caption;
    if (SameInUpperCase(whole ? name : FirstCharacters(name, characters), upper)) {
      return static_cast<int>(row);
    }
  }
  return std::nullopt;
}

// Upper case turns a character into one character. Plain ASCII is compared here, so that a long
// list is searched without asking the system for each row; other letters by the system's rules.
bool Optiona::SameInUpperCase(std::string_view text, const std::string& upper) {
  if (AsciiRun(text) < text.size()) return platform_.locale.UpperCase(std::string(text)) == upper;
  return text.size() == upper.size() &&
         std::equal(text.begin(), text.end(), upper.begin(),
                    [](char a, char b) { return AsciiUpper(a) == b; });
}

void Optiona::cmdBrowse_Click() {
  const auto chosen = view_.Browse("Any Files |*.exe");
  if (chosen) view_.SetPathField(*chosen);
}

// The line form caption "=" path "=@" names cannot carry a "=" in any field: saved, it would read
// back as other fields. And a program must sit on the menu's own drive, which is the one its
// clients reach through the share.
bool Optiona::FieldsRefused() {
  const std::string path = view_.PathField();
  if ((view_.NameField() + path + view_.AudienceField()).find('=') != std::string::npos) {
    view_.ShowMessage("A caption, a path or a name it is shown to cannot hold \"=\".", "Info");
    return true;
  }
  if (!SameDrive(ListedProgram(path), program_folder_)) {
    view_.ShowMessage("Please install Marlo.exe in same drive, Do not Drive Change",
                      "Marlo Exe Not Found");
    return true;
  }
  return false;
}

// The program is stored in upper case, its arguments as typed (a program may read them by case:
// a file name on a share kept by another system, a name, an address), and so are the names an
// entry is shown to (an "@" typed before them is the field's own mark).
ListEntry Optiona::RowOfFields(bool upper_case_name) {
  Locale& locale = platform_.locale;
  const std::string path = view_.PathField();
  const std::size_t program = ProgramPartLength(path);
  std::string audience = view_.AudienceField();
  if (!audience.empty() && audience[0] == '@') audience.erase(0, 1);
  return {upper_case_name ? locale.UpperCase(view_.NameField()) : view_.NameField(),
          locale.UpperCase(path.substr(0, program)) + path.substr(program), audience};
}

void Optiona::cmdNew_Click() {
  if (FieldsRefused()) return;
  const auto selected = view_.SelectedRow();
  const auto at = InRange(selected, rows_) ? static_cast<std::size_t>(*selected) + 1 : rows_.size();
  const ListEntry row = RowOfFields(false);
  looks_.Forget(row.path);  // looked at afresh
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), row);
  view_.ShowRows(rows_, InRange(selected, rows_) ? selected : std::nullopt);
}

void Optiona::cmdEdit_Click() {
  const auto selected = view_.SelectedRow();
  if (!InRange(selected, rows_) || FieldsRefused()) return;
  rows_[*selected] = RowOfFields(true);
  looks_.Forget(rows_[*selected].path);
  view_.ShowRows(rows_, selected);
  view_.ShowMessage(kSaveFirst, "Info");
}

void Optiona::cmdDelete_Click() {
  const auto selected = view_.SelectedRow();
  if (!delete_enabled_ || !InRange(selected, rows_)) return;
  rows_.erase(rows_.begin() + *selected);
  view_.ShowRows(rows_, std::nullopt);
  view_.ShowMessage(kSaveFirst, "Info");
}

void Optiona::LV_MoveRow(int to) {
  const auto selected = view_.SelectedRow();
  if (!InRange(selected, rows_) || !InRange(to, rows_) || to == *selected) return;
  const auto from = rows_.begin() + *selected;
  if (to < *selected) {
    std::rotate(rows_.begin() + to, from, from + 1);
  } else {
    std::rotate(from, from + 1, rows_.begin() + to + 1);
  }
  view_.ShowRows(rows_, to);
  view_.ShowPosition(std::to_string(to + 1));
}

void Optiona::cmdSave_Click() { Save(); }

// Saves the rows, in the form the list was read in; false when nothing was saved. A save that did
// not work says so, and why; the rows stay in the window to be saved again. A list larger than
// the menu reads (an ANSI list grown by UTF-8, say) is not written at all: every workstation
// would show only part of it.
bool Optiona::Save() {
  if (!ReplaceConfirmed()) return false;
  EncodedList list = EncodeList(rows_, form_, platform_.locale);
  const Outcome saved = list.bytes.size() <= kMostListBytes
                            ? SaveListFile(platform_.files, program_folder_, list.bytes)
                            : Outcome::Failed("it would take " + std::to_string(list.bytes.size()) +
                                              " bytes, more than the 64 MB the menu reads");
  if (!saved.ok) {
    view_.ShowMessage("The list was NOT saved: " + saved.Message() +
                          ".\r\napp.txt still holds the list as it was before this save.",
                      "Save Failed");
    return false;
  }
  list_as_read_ = {{true}, std::move(list.bytes)};
  form_ = list.form;
  cut_ = false;
  saved_rows_ = rows_;
  view_.ShowMessage("Save Succesfully", "Info");
  return true;
}

// A save replaces app.txt whole. When that would drop what this window never saw (another
// window's or an editor's changes since it read the list, or entries it could not read), the admin
// decides first.
bool Optiona::ReplaceConfirmed() {
  const char* reason = nullptr;
  if (CutShort(list_as_read_)) {
    reason = "app.txt could not be read completely when this window opened.";
  } else if (cut_) {
    reason = "app.txt holds more than this window shows.";
  } else {
    const ReadResult now = ReadList(platform_.files, program_folder_);
    if (CutShort(now)) {
      reason = "app.txt could not be read to see whether it was changed since this window read it.";
    } else if (!SameRead(now, list_as_read_)) {
      reason = "app.txt was changed since this window read it.";
    }
  }
  if (reason == nullptr) return true;
  return view_.Ask(std::string(reason) + "\r\nReplace it with this list?", "Save", false) ==
         Answer::kYes;
}

// Leaving with changes that were not saved asks first: Yes saves and leaves only when the save
// worked, No leaves without saving, Cancel stays.
bool Optiona::MayClose() {
  if (rows_ == saved_rows_) return true;
  switch (view_.Ask("Save the changes to the list?", "Save", true)) {
    case Answer::kYes:
      return Save();
    case Answer::kNo:
      return true;
    case Answer::kCancel:
      break;
  }
  return false;
}

void Optiona::cmdClose_Click() {
  if (!MayClose()) return;
  view_.CloseMain();
  view_.Close();
}

void Optiona::txtName_KeyPress(int key_code) {
  if (key_code == kEscape) Back();
}

void Optiona::Form_KeyPress(int key_code) {
  if (key_code == kEscape) Back();
}

bool Optiona::Form_QueryUnload() { return MayClose(); }

// The main window reads app.txt afresh.
void Optiona::Back() {
  if (!MayClose()) return;
  view_.OpenMain();
  view_.Close();
}

// Rows are marked as they are drawn, so only the rows on screen are ever looked at, and the
// looking is done away from the window: a share that does not answer never holds it up.
ProgramLook Optiona::RowLook(int row) {
  if (!InRange(row, rows_)) return {};
  return looks_.Of(rows_[row].path);
}

std::vector<std::string_view> Optiona::PathsOnScreen() const {
  const RowsShown rows = view_.RowsOnScreen();
  std::vector<std::string_view> paths;
  for (int row = std::max(rows.first, 0); row - rows.first < rows.count && InRange(row, rows_);
       ++row) {
    paths.push_back(rows_[row].path);
  }
  return paths;
}

std::string Optiona::RowTip(int row) {
  return RowMark(row) == ProgramMark::kMissing ? "program not found" : kListTip;
}

}  // namespace marlo
