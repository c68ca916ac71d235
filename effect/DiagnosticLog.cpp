#include "effect/DiagnosticLog.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cinttypes>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "platform/BoundedQueue.h"
#include "platform/StandardError.h"

namespace tavola::diagnostics {
namespace {

struct Entry {
  std::int32_t index;
  float value;
};

// Enough for a host automating every parameter of several instances for a while; a
// full queue only costs lines, never a wait.
constexpr std::size_t kQueueCapacity = 4096;
// How long the writer sleeps when there is nothing to write, and how long it waits for a
// standard error that will not take a line before it looks whether it should stop.
constexpr long kIdleNanoseconds = 5'000'000;
constexpr int kWritableWaitMilliseconds = 50;
constexpr int kLowerPriorityBy = 10;
// As tools like top and the tests see it.
constexpr const char* kWriterThreadName = "tavola-log";

class Writer;
extern Writer writer;

class Writer {
 public:
  ~Writer() {
    // The library is being unloaded (or the process ends): no thread of ours may outlive
    // the code it runs. The writer gives up within one wait once it is asked to stop.
    std::lock_guard<std::mutex> lock(control_);
    stopRequested_.store(true, std::memory_order_release);
    joinLocked();
  }

  void log(int index, float value) {
    if (queue_.push(Entry{static_cast<std::int32_t>(index), value}))
      accepted_.fetch_add(1, std::memory_order_release);
    else
      dropped_.fetch_add(1, std::memory_order_relaxed);
  }

  Writer() {
    // A host that forks (to start a helper program, say) leaves the child without our
    // thread: the child must not wait for it, and a later instance there starts its own.
    pthread_atfork([] { writer.control_.lock(); }, [] { writer.control_.unlock(); },
                   [] {
                     writer.running_ = false;
                     writer.control_.unlock();
                   });
  }

  void attach() {
    std::lock_guard<std::mutex> lock(control_);
    // While others hold it, the writer runs and has not been asked to stop.
    if (users_++ > 0 && running_) return;
    // The first user: a writer left from an earlier last instance was asked to stop and
    // ends within one wait; make sure it has, then start afresh.
    stopRequested_.store(true, std::memory_order_release);
    joinLocked();
    stopRequested_.store(false, std::memory_order_release);
    start();
  }

  void detach() {
    std::lock_guard<std::mutex> lock(control_);
    if (users_ > 0 && --users_ == 0) stopRequested_.store(true, std::memory_order_release);
  }

  bool flush(std::chrono::milliseconds timeout) {
    const std::uint64_t target = accepted_.load(std::memory_order_acquire);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (handled_.load(std::memory_order_acquire) < target) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  static void* run(void* self) {
    // Below the host's own threads: the lines matter less than anything else it does.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kLowerPriorityBy);
    static_cast<Writer*>(self)->drainUntilStopped();
    return nullptr;
  }

  void start() {
    // The writer takes none of the host's signals: they stay with the threads that expect
    // them.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    running_ = pthread_create(&thread_, nullptr, &Writer::run, this) == 0;
    if (running_) pthread_setname_np(thread_, kWriterThreadName);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }

  void joinLocked() {
    if (!running_) return;
    pthread_join(thread_, nullptr);
    running_ = false;
  }

  // Waits until one line can be written without blocking; false once asked to stop while
  // standard error still takes nothing.
  bool waitWritable() const {
    while (!standardErrorWritable(kWritableWaitMilliseconds))
      if (stopRequested_.load(std::memory_order_acquire)) return false;
    return true;
  }

  bool writeLine(const char* line, std::size_t length) {
    if (!waitWritable()) return false;
    writeToStandardError(line, length);
    return true;
  }

  bool reportDropped() {
    const std::uint64_t lost = dropped_.exchange(0, std::memory_order_relaxed);
    if (lost == 0) return true;
    char line[128];
    const std::size_t length = formatDroppedLine(lost, line, sizeof line);
    if (writeLine(line, length)) return true;
    dropped_.fetch_add(lost, std::memory_order_relaxed);
    return false;
  }

  // Writes everything queued; false when standard error stopped taking lines while the
  // writer was asked to stop. Lines that cannot be written are handled all the same, so
  // that flush does not wait for them.
  bool drain() {
    Entry entry;
    while (queue_.pop(entry)) {
      char line[128];
      const std::size_t length = formatParameterLine(entry.index, entry.value, line, sizeof line);
      const bool written = reportDropped() && writeLine(line, length);
      handled_.fetch_add(1, std::memory_order_release);
      if (!written) {
        while (queue_.pop(entry)) handled_.fetch_add(1, std::memory_order_release);
        return false;
      }
    }
    return reportDropped();
  }

  void drainUntilStopped() {
    for (;;) {
      // Read before draining, so that every line queued before the request is written.
      const bool stopping = stopRequested_.load(std::memory_order_acquire);
      if (!drain() || stopping) break;
      const timespec idle{0, kIdleNanoseconds};
      nanosleep(&idle, nullptr);
    }
  }

  BoundedQueue<Entry, kQueueCapacity> queue_;
  std::atomic<std::uint64_t> dropped_{0};
  std::atomic<std::uint64_t> accepted_{0};
  std::atomic<std::uint64_t> handled_{0};
  std::atomic<bool> stopRequested_{false};

  // The writer's life is managed on the UI thread only; the audio thread never takes it.
  std::mutex control_;
  int users_ = 0;
  bool running_ = false;
  pthread_t thread_{};
};

// Built when the library is loaded, before any effect exists, and destroyed when it is
// unloaded.
Writer writer;

}  // namespace

void logParameterChange(int index, float value) {
  writer.log(index, value);
}

std::size_t formatParameterLine(int index, float value, char* line, std::size_t capacity) {
  const int length = std::snprintf(line, capacity, "Tavola::setParameter # %d\t %f\t\n", index,
                                   static_cast<double>(value));
  if (length < 0) return 0;
  return static_cast<std::size_t>(length) < capacity ? static_cast<std::size_t>(length)
                                                     : capacity - 1;
}

std::size_t formatDroppedLine(unsigned long long count, char* line, std::size_t capacity) {
  const int length = std::snprintf(
      line, capacity, "ZEB Tavola: %llu diagnostic lines dropped (standard error was too slow)\n",
      count);
  if (length < 0) return 0;
  return static_cast<std::size_t>(length) < capacity ? static_cast<std::size_t>(length)
                                                     : capacity - 1;
}

WriterUse::WriterUse() {
  writer.attach();
}

WriterUse::~WriterUse() {
  writer.detach();
}

bool flush(std::chrono::milliseconds timeout) {
  return writer.flush(timeout);
}

}  // namespace tavola::diagnostics
