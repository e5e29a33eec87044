// Optiona, the Options window: edits the menu list and saves it to app.txt.
//
// The rows are the window's list. Beside them the window keeps what it needs so that nothing is
// lost without the admin's say: the rows as last read or saved (unsaved changes), and app.txt as
// it was read (a change by someone else since then). Rows are numbered from 0 here; the window
// shows positions from 1.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launch/program_looks.h"
#include "main_window/list_file.h"
#include "main_window/list_form.h"
#include "options/optiona_view.h"
#include "platform/platform.h"

namespace marlo {

class Optiona {
 public:
  Optiona(Platform& platform, OptionaView& view);

  // Load: the rows of app.txt, none selected.
  void Form_Load();
  // Select: a click on LV, or the selection moved there by keys, copies the selected row into
  // the three fields.
  void LV_Click();
  // Arm delete: a double-click on LV, or Enter on a row, enables Delete for the rest of the
  // window's life.
  void LV_DblClick();
  // Typing in LV: the row whose name begins with `typed` (is `typed`, when `whole`), in either
  // case, looking from row `start` on and on from the top past the end (from the top when
  // `start` is no row); nothing when no row fits.
  std::optional<int> FindRow(const std::string& typed, int start, bool whole);
  // Browse: the path field gets the file chosen in DLG; cancelled, it stays as it was.
  void cmdBrowse_Click();
  // New: a row from the fields directly below the selected row (at the end when none is).
  void cmdNew_Click();
  // Edit: the selected row gets the fields, its name and program in upper case.
  void cmdEdit_Click();
  // Arranging the list: the selected row moves to place `to` (Alt+Up and Alt+Down move it one
  // place, a row dragged with the mouse goes where it is dropped) and stays selected. A place
  // beyond either end leaves it where it is.
  void LV_MoveRow(int to);
  // Delete: the selected row goes.
  void cmdDelete_Click();
  // Save: app.txt gets the rows.
  void cmdSave_Click();
  // Close: the program ends.
  void cmdClose_Click();
  // Back: Esc in the name field, or on the window itself, opens the main window afresh.
  void txtName_KeyPress(int key_code);
  void Form_KeyPress(int key_code);
  // Closing through the frame; false keeps the window open.
  bool Form_QueryUnload();

  // How a row is drawn: what is known of its program (looked for when not yet known), and its
  // tooltip.
  ProgramLook RowLook(int row);
  ProgramMark RowMark(int row) { return RowLook(row).mark; }
  std::string RowTip(int row);
  // The window's icons are `pixels` square (its screen's density).
  void SetIconSize(int pixels) { looks_.SetIconSize(pixels); }

  bool DeleteEnabled() const { return delete_enabled_; }

 private:
  bool FieldsRefused();
  std::vector<std::string_view> PathsOnScreen() const;
  ListEntry RowOfFields(bool upper_case_name);
  bool SameInUpperCase(std::string_view text, const std::string& upper);
  bool Save();
  bool ReplaceConfirmed();
  bool MayClose();
  void Back();

  Platform& platform_;
  OptionaView& view_;
  std::string program_folder_;
  std::vector<ListEntry> rows_;
  std::vector<ListEntry> saved_rows_;  // the rows as last read or saved
  ReadResult list_as_read_;            // app.txt as this window last read or wrote it
  ListForm form_ = ListForm::kAnsi;    // the form it was in, which a save keeps
  bool cut_ = false;                   // it held more than the window shows
  bool delete_enabled_ = false;
  ProgramLooks looks_;  // last: its looks come back to the window while the rest is there
};

}  // namespace marlo
