// Optiona, the Options window: edits the menu list and saves it to app.txt.
//
// The rows are the window's whole state: there is no copy of the file and no flag for unsaved
// changes. Rows are numbered from 0 here; the window shows positions from 1.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "main_window/list_file.h"
#include "options/optiona_view.h"
#include "platform/platform.h"

namespace marlo {

class Optiona {
 public:
  Optiona(Platform& platform, OptionaView& view);

  // Load: the rows of app.txt, none selected.
  void Form_Load();
  // Select: a click on LV copies the selected row into the two fields.
  void LV_Click();
  // Arm delete: a double-click on LV enables Delete for the rest of the window's life.
  void LV_DblClick();
  // Browse: the path field gets the file chosen in DLG.
  void cmdBrowse_Click();
  // New: a row from the fields directly below the selected row (at the end when none is).
  void cmdNew_Click();
  // Edit: the selected row gets both fields, in upper case.
  void cmdEdit_Click();
  // Delete: the selected row goes.
  void cmdDelete_Click();
  // Save: app.txt gets the rows.
  void cmdSave_Click();
  // Close: the program ends.
  void cmdClose_Click();
  // Back: Esc in the name field, or on the window itself, opens the main window afresh.
  void txtName_KeyPress(int key_code);
  void Form_KeyPress(int key_code);

  bool DeleteEnabled() const { return delete_enabled_; }

 private:
  void Back();

  Platform& platform_;
  OptionaView& view_;
  std::string program_folder_;
  std::vector<ListEntry> rows_;
  bool delete_enabled_ = false;
};

}  // namespace marlo
