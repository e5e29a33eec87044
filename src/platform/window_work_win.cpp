#include "platform/window_work_win.h"

#include <utility>

namespace marlo {

// What the window and the threads share; the last of them to let go of it frees it.
struct WindowWork::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  std::vector<std::function<void()>> ready;
  HWND window = nullptr;  // null once the window is gone
  UINT message = 0;
  bool told = false;  // the window was told and has not taken what is ready since
};

namespace {

struct Job {
  std::function<void()> work;
  std::function<void()> then;
  std::shared_ptr<WindowWork::Shared> shared;
};

// A notice that could not be posted (the window's queue full) is posted again with the next
// piece of work that comes back, and the window also takes what is ready at its own timers.
void Finished(Job& job) {
  WindowWork::Shared& shared = *job.shared;
  AcquireSRWLockExclusive(&shared.lock);
  if (shared.window != nullptr) {
    shared.ready.push_back(std::move(job.then));
    if (!shared.told) shared.told = PostMessageW(shared.window, shared.message, 0, 0) != FALSE;
  }
  ReleaseSRWLockExclusive(&shared.lock);
}

DWORD WINAPI JobThread(void* parameter) {
  std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  job->work();
  Finished(*job);
  return 0;
}

// Threads whose work the program's end waits for, with the moment each may take until.
SRWLOCK owed_lock = SRWLOCK_INIT;
std::vector<std::pair<HANDLE, Deadline>>* owed = nullptr;

// Takes the thread's handle; those of threads that ended are let go on the way.
void Owe(HANDLE thread, Deadline finish_by) {
  AcquireSRWLockExclusive(&owed_lock);
  if (owed == nullptr) owed = new std::vector<std::pair<HANDLE, Deadline>>;
  for (auto it = owed->begin(); it != owed->end();) {
    if (WaitForSingleObject(it->first, 0) != WAIT_OBJECT_0) {
      ++it;
      continue;
    }
    CloseHandle(it->first);
    it = owed->erase(it);
  }
  owed->emplace_back(thread, finish_by);
  ReleaseSRWLockExclusive(&owed_lock);
}

}  // namespace

WindowWork::WindowWork(HWND window, UINT message) : shared_(std::make_shared<Shared>()) {
  shared_->window = window;
  shared_->message = message;
}

WindowWork::~WindowWork() {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->window = nullptr;
  std::vector<std::function<void()>> dropped = std::move(shared_->ready);
  ReleaseSRWLockExclusive(&shared_->lock);
}

// Without a thread the work is done here and now: late, but done.
void WindowWork::Run(std::function<void()> work, std::function<void()> then,
                     std::optional<Deadline> finish_by) {
  auto job = std::make_unique<Job>(Job{std::move(work), std::move(then), shared_});
  HANDLE thread = CreateThread(nullptr, 0, &JobThread, job.get(), 0, nullptr);
  if (thread == nullptr) {
    job->work();
    Finished(*job);
    return;
  }
  job.release();  // the thread's now
  if (finish_by) {
    Owe(thread, *finish_by);
  } else {
    CloseHandle(thread);
  }
}

std::vector<std::function<void()>> WindowWork::Take() {
  AcquireSRWLockExclusive(&shared_->lock);
  std::vector<std::function<void()>> ready = std::move(shared_->ready);
  shared_->ready.clear();
  shared_->told = false;
  ReleaseSRWLockExclusive(&shared_->lock);
  return ready;
}

void FinishOwedWork() {
  AcquireSRWLockExclusive(&owed_lock);
  std::vector<std::pair<HANDLE, Deadline>> threads;
  if (owed != nullptr) threads.swap(*owed);
  ReleaseSRWLockExclusive(&owed_lock);
  for (const auto& [thread, finish_by] : threads) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left =
        finish_by.milliseconds > now ? static_cast<DWORD>(finish_by.milliseconds - now) : 0;
    WaitForSingleObject(thread, left);
    CloseHandle(thread);
  }
}

}  // namespace marlo
