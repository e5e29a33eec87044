// Work a window hands off its thread. The work goes in lanes (platform.h): each lane has worker
// threads of its own (the files lane one, the background lane up to kBackgroundAtOnce), made as
// pieces come that find every worker busy, which begin the lane's pieces in the order they were
// handed over, waiting for the next on a condition variable. What is to follow on the window's
// thread waits in the window's own queue, and the window is only told, by a message that carries
// nothing, that there is something to take. No pointer travels in a window message, which any
// program on the desktop could post. (A few threads a lane, not one a piece: under Wine a thread
// costs about 5 ms and 1 MB to make.)
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
  // Work may be handed over before the window is made: what comes back waits until it is attached.
  explicit WindowWork(UINT message);
  void Attach(HWND window);
  // The window is going: what comes back after this is dropped, work not yet begun is dropped
  // unless the program's end waits for it, and the threads end by themselves.
  ~WindowWork();
  WindowWork(const WindowWork&) = delete;
  WindowWork& operator=(const WindowWork&) = delete;

  // Queues `work` for `lane`'s worker; `then` waits for the window. With `finish_by`, the
  // program's end waits for the work (FinishOwedWork), until then.
  void Run(Lane lane, std::function<void()> work, std::function<void()> then,
           std::optional<Deadline> finish_by = std::nullopt);
  // What is to follow on the window's thread, in the order the work was done.
  std::vector<std::function<void()>> Take();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// At the program's end: waits for the work that asked to be finished, each until its moment.
void FinishOwedWork();

}  // namespace marlo
