// What the main window's logic asks of the window on screen.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marlo {

class MasterView {
 public:
  virtual ~MasterView() = default;

  // A modal box with the information icon and one OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
  // Shows the menu captions, in order, with nothing selected, in place of the menu shown. A long
  // menu is filled while the window goes on answering, and the menu shown stays until it is in;
  // `in` comes just before a row of it can be drawn, `shown` once it is on screen (both at once
  // for a short one). A menu handed over while another is still being filled takes its place:
  // that one's `in` and `shown` never come.
  virtual void ShowMenu(const std::vector<std::string_view>& captions, std::function<void()> in,
                        std::function<void()> shown) = 0;
  // Draws the menu's entries again (what is known of their programs changed).
  virtual void RedrawMenu() = 0;
  // The menu's entries on screen now.
  virtual RowsShown RowsOnScreen() = 0;
  // Selects a menu entry; false when there is no such entry.
  virtual bool SelectMenuItem(int index) = 0;
  // Shows the start mode in the "Start as :" row.
  virtual void ShowMode(const std::string& mode) = 0;
  // Hides the "Options" and "Exit" buttons.
  virtual void HideOptionsAndExit() = 0;
  // Places the window above all windows that are not topmost themselves; false when refused.
  virtual bool MakeTopMost() = 0;
  virtual void StopTimer2() = 0;
  // Timer3 ticks once, `delay` from now (a tick already set is put off).
  virtual void StartTimer3(std::chrono::milliseconds delay) = 0;
  virtual void Minimise() = 0;
  virtual bool IsMinimised() = 0;
  // Puts the window on screen, if it is not there yet.
  virtual void ShowWindowNow() = 0;
  // While a start is under way the window says so (the pointer shows that a program is starting).
  virtual void ShowStarting(bool starting) = 0;
  // Runs `work` away from the window's thread, in `lane`, so that a server that is slow, holds a
  // file or does not answer never holds the window up; `then` follows on the window's thread, one
  // handler at a time with the others, never inside a handler that shows a box, and only while the
  // window lives. With `finish_by`, the program does not end before the work is done, or that
  // moment has passed.
  virtual void OffThread(Lane lane, std::function<void()> work, std::function<void()> then,
                         std::optional<Deadline> finish_by = std::nullopt) = 0;
  // Opens the Options window, not modal and without an owner.
  virtual void OpenOptions() = 0;
  // Closes the Options window if one is open.
  virtual void CloseOptions() = 0;
  // Closes the main window.
  virtual void Close() = 0;
};

}  // namespace marlo
