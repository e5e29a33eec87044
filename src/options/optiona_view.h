// What the Options window's logic asks of the window on screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "main_window/list_file.h"

namespace marlo {

class OptionaView {
 public:
  virtual ~OptionaView() = default;

  // The rows of LV, in order, with `selected` (0-based) selected, or none.
  virtual void ShowRows(const std::vector<ListEntry>& rows, std::optional<int> selected) = 0;
  // The row selected in LV (0-based), if any.
  virtual std::optional<int> SelectedRow() = 0;
  virtual std::string NameField() = 0;
  virtual std::string PathField() = 0;
  virtual void SetNameField(const std::string& text) = 0;
  virtual void SetPathField(const std::string& text) = 0;
  virtual void ShowPosition(const std::string& text) = 0;
  virtual void EnableDelete() = 0;
  // A modal box with the information icon and one OK button.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // Shows the file-open dialog DLG with `filter` and returns its file name once it is closed,
  // whatever the outcome (the name it held before when the user cancelled).
  virtual std::string Browse(const std::string& filter) = 0;
  // Opens the main window afresh.
  virtual void OpenMain() = 0;
  // Closes the main window if one is open.
  virtual void CloseMain() = 0;
  // Closes this window.
  virtual void Close() = 0;
};

}  // namespace marlo
