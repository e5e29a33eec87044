// What the Options window's logic asks of the window on screen.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "main_window/list_file.h"

namespace marlo {

// The answer to a question box.
enum class Answer { kYes, kNo, kCancel };

class OptionaView {
 public:
  virtual ~OptionaView() = default;

  // The rows of LV, in order, with `selected` (0-based) selected and in view, or none. `rows` stays
  // alive and is shown again at each call after a change, so the window may read it as it draws.
  virtual void ShowRows(const std::vector<ListEntry>& rows, std::optional<int> selected) = 0;
  // Draws the rows again, as their marks changed.
  virtual void RedrawRows() = 0;
  // The rows of LV on screen now.
  virtual RowsShown RowsOnScreen() = 0;
  // The row selected in LV (0-based), if any.
  virtual std::optional<int> SelectedRow() = 0;
  virtual std::string NameField() = 0;
  virtual std::string PathField() = 0;
  virtual void SetNameField(const std::string& text) = 0;
  virtual void SetPathField(const std::string& text) = 0;
  // "Shown To": the names an entry is meant for.
  virtual std::string AudienceField() = 0;
  virtual void SetAudienceField(const std::string& text) = 0;
  virtual void ShowPosition(const std::string& text) = 0;
  virtual void EnableDelete() = 0;
  // A modal box with the information icon and one OK button.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // A modal question box with Yes and No, and Cancel when `with_cancel`.
  virtual Answer Ask(const std::string& text, const std::string& title, bool with_cancel) = 0;
  // Shows the file-open dialog DLG with `filter`; the file chosen, or nothing when the user
  // cancelled.
  virtual std::optional<std::string> Browse(const std::string& filter) = 0;
  // Runs `work` away from the window's thread, at low priority (what is looked up for the rows);
  // `then` follows on the window's thread, one handler at a time with the others, and only while
  // the window lives.
  virtual void OffThread(std::function<void()> work, std::function<void()> then) = 0;
  // Opens the main window afresh.
  virtual void OpenMain() = 0;
  // Closes the main window if one is open.
  virtual void CloseMain() = 0;
  // Closes this window.
  virtual void Close() = 0;
};

}  // namespace marlo
