#include "options/optiona.h"

#include "platform/paths.h"

namespace marlo {
namespace {

constexpr int kEscape = 27;
const char* const kSaveFirst = "Please Save Before You Close";

bool InRange(const std::optional<int>& row, const std::vector<ListEntry>& rows) {
  return row && *row >= 0 && static_cast<std::size_t>(*row) < rows.size();
}

}  // namespace

Optiona::Optiona(Platform& platform, OptionaView& view)
    : platform_(platform), view_(view), program_folder_(platform.env.ProgramFolder()) {}

// A list that is missing or cannot be read gives the rows read before the failure, if any.
void Optiona::Form_Load() {
  rows_ = ReadListFile(platform_.files, ListFilePath(program_folder_));
  view_.ShowRows(rows_, std::nullopt);
}

void Optiona::LV_Click() {
  const auto row = view_.SelectedRow();
  if (!InRange(row, rows_)) return;
  view_.SetNameField(rows_[*row].caption);
  view_.SetPathField(rows_[*row].path);
  view_.ShowPosition(std::to_string(*row + 1));
}

void Optiona::LV_DblClick() {
  delete_enabled_ = true;
  view_.EnableDelete();
}

void Optiona::cmdBrowse_Click() { view_.SetPathField(view_.Browse("Any Files |*.exe")); }

void Optiona::cmdNew_Click() {
  const std::string path = view_.PathField();
  if (!SameDrive(path, program_folder_)) {
    view_.ShowMessage("Please install Marlo.exe in same drive, Do not Drive Change",
                      "Marlo Exe Not Found");
    return;
  }
  const auto selected = view_.SelectedRow();
  const auto at = InRange(selected, rows_) ? static_cast<std::size_t>(*selected) + 1 : rows_.size();
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at),
               ListEntry{view_.NameField(), platform_.locale.UpperCase(path)});
  view_.ShowRows(rows_, InRange(selected, rows_) ? selected : std::nullopt);
}

void Optiona::cmdEdit_Click() {
  const auto selected = view_.SelectedRow();
  if (!InRange(selected, rows_)) return;
  rows_[*selected] = {platform_.locale.UpperCase(view_.NameField()),
                      platform_.locale.UpperCase(view_.PathField())};
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

// A save that did not work says so, and why; the rows stay in the window to be saved again.
void Optiona::cmdSave_Click() {
  const FileResult saved = SaveListFile(platform_.files, program_folder_, rows_);
  if (saved.ok) {
    view_.ShowMessage("Save Succesfully", "Info");
  } else {
    view_.ShowMessage("The list was NOT saved: " + saved.reason +
                          ".\r\napp.txt still holds the list as it was before this save.",
                      "Save Failed");
  }
}

void Optiona::cmdClose_Click() {
  view_.CloseMain();
  view_.Close();
}

void Optiona::txtName_KeyPress(int key_code) {
  if (key_code == kEscape) Back();
}

void Optiona::Form_KeyPress(int key_code) {
  if (key_code == kEscape) Back();
}

// Unsaved changes are dropped; the main window reads app.txt afresh.
void Optiona::Back() {
  view_.OpenMain();
  view_.Close();
}

}  // namespace marlo
