// What the main window's logic asks of the window on screen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class MasterView {
 public:
  virtual ~MasterView() = default;

  // A modal box with the information icon and one OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // Shows the menu captions, in order, with nothing selected.
  virtual void ShowMenu(const std::vector<std::string_view>& captions) = 0;
  // Selects a menu entry; false when there is no such entry.
  virtual bool SelectMenuItem(int index) = 0;
  // Shows the start mode in the "Start as :" row.
  virtual void ShowMode(const std::string& mode) = 0;
  // Hides the "Options" and "Exit" buttons.
  virtual void HideOptionsAndExit() = 0;
  // Places the window above all windows that are not topmost themselves; false when refused.
  virtual bool MakeTopMost() = 0;
  virtual void StopTimer2() = 0;
  virtual void Minimise() = 0;
  // Opens the Options window, not modal and without an owner.
  virtual void OpenOptions() = 0;
  // Closes the Options window if one is open.
  virtual void CloseOptions() = 0;
  // Closes the main window.
  virtual void Close() = 0;
};

}  // namespace marlo
