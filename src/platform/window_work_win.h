// Work a window hands off its thread. Each piece runs on a thread of its own, so that one that
// waits for a server never holds up the next; what is to follow on the window's thread waits in
// the window's own queue, and the window is only told, by a message that carries nothing, that
// there is something to take. No pointer travels in a window message, which any program on the
// desktop could post.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace marlo {

class WindowWork {
 public:
  WindowWork(HWND window, UINT message);
  // The window is going: what comes back after this is dropped, and the threads end by themselves.
  ~WindowWork();
  WindowWork(const WindowWork&) = delete;
  WindowWork& operator=(const WindowWork&) = delete;

  // Runs `work` on a thread of its own; `then` waits for the window. With `finish_by`, the
  // program's end waits for the work (FinishOwedWork).
  void Run(std::function<void()> work, std::function<void()> then,
           std::optional<Deadline> finish_by);
  // What is to follow on the window's thread, in the order the work was done.
  std::vector<std::function<void()>> Take();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// At the program's end: waits for the work that asked to be finished, each until its moment.
void FinishOwedWork();

}  // namespace marlo
