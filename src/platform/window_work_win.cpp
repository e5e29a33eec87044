#include "platform/window_work_win.h"

#include <algorithm>
#include <utility>

namespace marlo {

namespace {

struct Job {
  std::function<void()> work;
  std::function<void()> then;
  bool owed = false;  // the program's end waits for it
};

}  // namespace

constexpr int kLanes = 2;
// Workers a lane may have, each doing one piece at a time (platform.h).
constexpr int kWorkersOf[kLanes] = {1, kBackgroundAtOnce};

// What the window and its workers share; the last of them to let go of it frees it.
struct WindowWork::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake[kLanes] = {CONDITION_VARIABLE_INIT, CONDITION_VARIABLE_INIT};
  CONDITION_VARIABLE owed_done = CONDITION_VARIABLE_INIT;  // a piece the end waits for is done
  std::vector<Job> jobs[kLanes];                           // a few at a time
  int workers[kLanes] = {};                                // made
  int waiting[kLanes] = {};  // of them, waiting for a piece they may take
  int busy[kLanes] = {};     // pieces under way
  bool alone[kLanes] = {};   // one of them is owed: nothing begins beside it
  std::vector<std::function<void()>> ready;
  int owed = 0;           // pieces the end waits for, queued or under way
  HWND window = nullptr;  // null until the window is attached, and once it is gone
  bool gone = false;
  bool told = false;  // the window was told and has not taken what is ready since
  UINT message = 0;
};

namespace {

using Shared = WindowWork::Shared;

// A notice that could not be posted (the window's queue full) is posted again with the next
// piece of work that comes back; the window also takes what is ready at its own timers.
void Tell(Shared& shared) {
  if (shared.window != nullptr && !shared.told && !shared.ready.empty()) {
    shared.told = PostMessageW(shared.window, shared.message, 0, 0) != FALSE;
  }
}

// Called with the lock held. A piece the program's end waits for begins only when nothing else is
// under way in its lane.
bool MayBegin(const Shared& shared, int lane) {
  const std::vector<Job>& jobs = shared.jobs[lane];
  return !jobs.empty() && !shared.alone[lane] && (!jobs.front().owed || shared.busy[lane] == 0);
}

// Called with the lock held.
void Finished(Shared& shared, Job& job) {
  if (!shared.gone) {
    shared.ready.push_back(std::move(job.then));
    Tell(shared);
  }
  if (job.owed && --shared.owed == 0) WakeAllConditionVariable(&shared.owed_done);
}

struct ForWorker {
  std::shared_ptr<Shared> shared;
  int lane;
};

// What the rows need looked up waits for anything else the machine does: the background lane runs
// below normal priority, but for a piece the program's end waits for (the start log, whose
// seconds are counted), which must not starve on a busy machine. A worker ends when the window
// has gone and its lane has nothing left to do.
DWORD WINAPI Worker(void* parameter) {
  const std::unique_ptr<ForWorker> owned(static_cast<ForWorker*>(parameter));
  Shared& shared = *owned->shared;
  const int lane = owned->lane;
  const bool background = lane == static_cast<int>(Lane::kBackground);
  int priority = THREAD_PRIORITY_NORMAL;
  std::vector<Job>& jobs = shared.jobs[lane];
  AcquireSRWLockExclusive(&shared.lock);
  for (;;) {
    while (!MayBegin(shared, lane) && !(jobs.empty() && shared.gone)) {
      ++shared.waiting[lane];
      SleepConditionVariableSRW(&shared.wake[lane], &shared.lock, INFINITE, 0);
      --shared.waiting[lane];
    }
    if (jobs.empty()) break;
    Job job = std::move(jobs.front());
    jobs.erase(jobs.begin());
    ++shared.busy[lane];
    shared.alone[lane] = job.owed;
    ReleaseSRWLockExclusive(&shared.lock);
    const int wanted =
        background && !job.owed ? THREAD_PRIORITY_BELOW_NORMAL : THREAD_PRIORITY_NORMAL;
    if (wanted != priority && SetThreadPriority(GetCurrentThread(), wanted)) priority = wanted;
    job.work();
    AcquireSRWLockExclusive(&shared.lock);
    --shared.busy[lane];
    if (job.owed) shared.alone[lane] = false;
    Finished(shared, job);
    // The others may wait for this piece to end: a piece owed, or one that waits to run alone.
    if (!jobs.empty()) WakeAllConditionVariable(&shared.wake[lane]);
  }
  ReleaseSRWLockExclusive(&shared.lock);
  return 0;
}

// Windows whose work the program's end waits for, with the moment each may take until.
SRWLOCK owed_lock = SRWLOCK_INIT;
std::vector<std::pair<std::shared_ptr<Shared>, Deadline>>* owed_work = nullptr;

}  // namespace

WindowWork::WindowWork(UINT message) : shared_(std::make_shared<Shared>()) {
  shared_->message = message;
}

void WindowWork::Attach(HWND window) {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->window = window;
  Tell(*shared_);
  ReleaseSRWLockExclusive(&shared_->lock);
}

WindowWork::~WindowWork() {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->window = nullptr;
  shared_->gone = true;
  std::vector<std::function<void()>> dropped = std::move(shared_->ready);
  std::vector<Job> dropped_jobs;
  for (auto& jobs : shared_->jobs) {
    std::vector<Job> kept;
    for (Job& job : jobs) (job.owed ? kept : dropped_jobs).push_back(std::move(job));
    jobs.swap(kept);
  }
  ReleaseSRWLockExclusive(&shared_->lock);
  for (auto& wake : shared_->wake) WakeAllConditionVariable(&wake);
}

// A lane's worker is made with its first piece of work, and another with a piece that finds every
// worker busy, up to the lane's number. Without a worker at all the work is done here and now:
// late, but done.
void WindowWork::Run(Lane lane, std::function<void()> work, std::function<void()> then,
                     std::optional<Deadline> finish_by) {
  Shared& shared = *shared_;
  const int index = static_cast<int>(lane);
  AcquireSRWLockExclusive(&shared.lock);
  const bool all_busy = static_cast<int>(shared.jobs[index].size()) + 1 > shared.waiting[index];
  if (all_busy && shared.workers[index] < kWorkersOf[index]) {
    auto* for_worker = new ForWorker{shared_, index};
    HANDLE thread = CreateThread(nullptr, 0, &Worker, for_worker, 0, nullptr);
    if (thread != nullptr) {
      CloseHandle(thread);
      ++shared.workers[index];
    } else {
      delete for_worker;
    }
  }
  if (shared.workers[index] == 0) {
    ReleaseSRWLockExclusive(&shared.lock);
    Job job{std::move(work), std::move(then), false};
    job.work();
    AcquireSRWLockExclusive(&shared.lock);
    Finished(shared, job);
    ReleaseSRWLockExclusive(&shared.lock);
    return;
  }
  shared.jobs[index].push_back({std::move(work), std::move(then), finish_by.has_value()});
  if (finish_by) ++shared.owed;
  ReleaseSRWLockExclusive(&shared.lock);
  WakeConditionVariable(&shared.wake[index]);
  if (finish_by) {
    // One entry a window, until the latest moment any of its owed pieces may take: the list does
    // not grow with every start.
    AcquireSRWLockExclusive(&owed_lock);
    if (owed_work == nullptr)
      owed_work = new std::vector<std::pair<std::shared_ptr<Shared>, Deadline>>;
    const auto known = std::find_if(owed_work->begin(), owed_work->end(),
                                    [&](const auto& owed) { return owed.first == shared_; });
    if (known == owed_work->end()) {
      owed_work->emplace_back(shared_, *finish_by);
    } else if (known->second.milliseconds < finish_by->milliseconds) {
      known->second = *finish_by;
    }
    ReleaseSRWLockExclusive(&owed_lock);
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
  std::vector<std::pair<std::shared_ptr<Shared>, Deadline>> owed;
  if (owed_work != nullptr) owed.swap(*owed_work);
  ReleaseSRWLockExclusive(&owed_lock);
  for (const auto& [shared, finish_by] : owed) {
    AcquireSRWLockExclusive(&shared->lock);
    for (ULONGLONG now = GetTickCount64(); shared->owed > 0 && now < finish_by.milliseconds;
         now = GetTickCount64()) {
      SleepConditionVariableSRW(&shared->owed_done, &shared->lock,
                                static_cast<DWORD>(finish_by.milliseconds - now), 0);
    }
    ReleaseSRWLockExclusive(&shared->lock);
  }
}

}  // namespace marlo
