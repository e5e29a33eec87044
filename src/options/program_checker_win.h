// Looks whether listed programs exist, on a thread of its own, so that a share that does not
// answer never holds up the window that asked: each answer is posted to that window as
// `message`, with wparam 1 (found) or 0 and lparam a std::string* of the path, which the window
// takes over and deletes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

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

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace marlo
