#include "options/program_checker_win.h"

#include "platform/paths.h"
#include "platform/platform_win.h"

namespace marlo {

// What the window and the thread share; the last of the two to let go of it frees it.
struct ProgramChecker::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
  std::vector<std::string> queue;
  std::vector<std::pair<std::string, bool>> answers;
  HWND window = nullptr;  // null once the window is gone: the thread then ends
  UINT message = 0;
  bool told = false;  // the window has been told of the answers waiting, and has not taken them
};

namespace {

// How soon a sign the window's queue refused is posted again, when no other answer comes first.
constexpr DWORD kTellAgainMs = 200;

// The window hears once that answers wait, however many come before it takes them. A post that
// fails (a full message queue) is tried again with the next answer, or after a short wait: else
// no row would ever be marked again. Called with the lock held.
void TellWindow(ProgramChecker::Shared& shared) {
  if (shared.told || shared.answers.empty() || shared.window == nullptr) return;
  shared.told = PostMessageW(shared.window, shared.message, 0, 0) != FALSE;
}

DWORD WINAPI CheckerThread(void* parameter) {
  std::unique_ptr<std::shared_ptr<ProgramChecker::Shared>> owned(
      static_cast<std::shared_ptr<ProgramChecker::Shared>*>(parameter));
  ProgramChecker::Shared& shared = **owned;
  for (;;) {
    AcquireSRWLockExclusive(&shared.lock);
    while (shared.window != nullptr && shared.queue.empty()) {
      TellWindow(shared);
      const bool owed = !shared.told && !shared.answers.empty();
      SleepConditionVariableSRW(&shared.wake, &shared.lock, owed ? kTellAgainMs : INFINITE, 0);
    }
    if (shared.window == nullptr) {
      ReleaseSRWLockExclusive(&shared.lock);
      return 0;
    }
    std::string path = std::move(shared.queue.back());
    shared.queue.pop_back();
    ReleaseSRWLockExclusive(&shared.lock);

    Win32FileSystem files;
    const bool found =
        ProgramExists(path, [&files](const std::string& file) { return NamesFile(files, file); });

    AcquireSRWLockExclusive(&shared.lock);
    shared.answers.emplace_back(std::move(path), found);
    TellWindow(shared);
    ReleaseSRWLockExclusive(&shared.lock);
  }
}

}  // namespace

ProgramChecker::ProgramChecker(HWND window, UINT message) : shared_(std::make_shared<Shared>()) {
  shared_->window = window;
  shared_->message = message;
  auto* for_thread = new std::shared_ptr<Shared>(shared_);
  HANDLE thread = CreateThread(nullptr, 0, &CheckerThread, for_thread, 0, nullptr);
  if (thread == nullptr) {
    delete for_thread;
    shared_->window = nullptr;  // no thread: rows simply stay unmarked
    return;
  }
  CloseHandle(thread);
}

ProgramChecker::~ProgramChecker() {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->window = nullptr;
  shared_->queue.clear();
  ReleaseSRWLockExclusive(&shared_->lock);
  WakeConditionVariable(&shared_->wake);
}

void ProgramChecker::Check(const std::string& path) {
  AcquireSRWLockExclusive(&shared_->lock);
  if (shared_->window != nullptr) shared_->queue.push_back(path);
  ReleaseSRWLockExclusive(&shared_->lock);
  WakeConditionVariable(&shared_->wake);
}

std::vector<std::pair<std::string, bool>> ProgramChecker::TakeAnswers() {
  AcquireSRWLockExclusive(&shared_->lock);
  std::vector<std::pair<std::string, bool>> answers = std::move(shared_->answers);
  shared_->answers.clear();
  shared_->told = false;
  ReleaseSRWLockExclusive(&shared_->lock);
  return answers;
}

}  // namespace marlo
