// Looks whether listed programs exist, on a thread of its own, so that a share that does not
// answer never holds up the window that asked. The answers wait in the checker's own queue; the
// window is only told, by `message`, that there are answers to take. No pointer travels in a
// window message, which any program on the desktop could post.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace marlo {

class ProgramChecker {
 public:
  ProgramChecker(HWND window, UINT message);
  // The thread is left to end by itself: it may be waiting for a share.
  ~ProgramChecker();
  ProgramChecker(const ProgramChecker&) = delete;
  ProgramChecker& operator=(const ProgramChecker&) = delete;

  // Queues a path; the most recent paths are looked at first, as they are the rows on screen.
  void Check(const std::string& path);
  // The answers that came since the last call: each path, and whether its program exists.
  std::vector<std::pair<std::string, bool>> TakeAnswers();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace marlo
