#include "platform/DiagnosticWriter.h"

#include <linux/futex.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cinttypes>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
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
// Messages are rare (an alert, a window that could not open); a flood of them is dropped.
constexpr std::size_t kMaxMessages = 256;
// How long the writer waits for a standard error that will not take a line before it
// looks whether it should stop.
constexpr int kWritableWaitMilliseconds = 50;
constexpr int kLowerPriorityBy = 10;
// As tools like top and the tests see it.
constexpr const char* kWriterThreadName = "tavola-log";

// The writer sleeps on a futex word and the callers wake it: a plain system call, so a
// caller on the audio thread takes no lock and never waits.
void futexWait(std::atomic<std::uint32_t>& word, std::uint32_t expected) {
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAIT_PRIVATE, expected, nullptr,
          nullptr, 0);
}

void futexWake(std::atomic<std::uint32_t>& word) {
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAKE_PRIVATE, 1, nullptr,
          nullptr, 0);
}

std::string messageLine(std::string_view text) {
  std::string line = "ZEB Tavola: ";
  for (char c : text) line += (c == '\n' || c == '\r') ? ' ' : c;
  line += '\n';
  return line;
}

class Writer;
extern Writer writer;

class Writer {
 public:
  ~Writer() {
    // The library is being unloaded (or the process ends): no thread of ours may outlive
    // the code it runs. The writer gives up within one wait once it is asked to stop.
    std::lock_guard<std::mutex> lock(control_);
    requestStop();
    joinLocked();
  }

  void log(int index, float value) {
    if (queue_.push(Entry{static_cast<std::int32_t>(index), value}))
      accepted_.fetch_add(1, std::memory_order_seq_cst);
    else
      dropped_.fetch_add(1, std::memory_order_seq_cst);
    wake();
  }

  void message(std::string_view text) {
    std::string line = messageLine(text);
    if (!running_.load(std::memory_order_acquire)) {
      // Nobody would write it later: now, if standard error takes it at once.
      if (standardErrorWritable(0)) writeToStandardError(line.data(), line.size());
      return;
    }
    {
      std::lock_guard<std::mutex> lock(messagesMutex_);
      if (messages_.size() >= kMaxMessages) {
        dropped_.fetch_add(1, std::memory_order_seq_cst);
      } else {
        messages_.push_back(std::move(line));
        accepted_.fetch_add(1, std::memory_order_seq_cst);
      }
    }
    wake();
  }

  Writer() {
    // A host that forks (to start a helper program, say) leaves the child without our
    // thread: the child must not wait for it, and a later instance there starts its own.
    pthread_atfork(
        [] {
          writer.control_.lock();
          writer.messagesMutex_.lock();
        },
        [] {
          writer.messagesMutex_.unlock();
          writer.control_.unlock();
        },
        [] {
          writer.running_ = false;
          writer.messagesMutex_.unlock();
          writer.control_.unlock();
        });
  }

  void attach() {
    std::lock_guard<std::mutex> lock(control_);
    // While others hold it, the writer runs and has not been asked to stop.
    if (users_++ > 0 && running_) return;
    // The first user: a writer left from an earlier last instance was asked to stop and
    // ends within one wait; make sure it has, then start afresh.
    requestStop();
    joinLocked();
    stopRequested_.store(false, std::memory_order_release);
    start();
  }

  void detach() {
    std::lock_guard<std::mutex> lock(control_);
    if (users_ > 0 && --users_ == 0) requestStop();
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

  unsigned long long wakeUps() const { return wakeUps_.load(std::memory_order_relaxed); }

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

  void requestStop() {
    stopRequested_.store(true, std::memory_order_seq_cst);
    wake();
  }

  void joinLocked() {
    if (!running_) return;
    pthread_join(thread_, nullptr);
    running_ = false;
  }

  // Callers, after they counted what they queued (accepted_, dropped_ or stopRequested_,
  // each written in sequentially consistent order): the sleeping writer gets up. The
  // writer marks itself asleep, in the same order, before it looks at those counts, so
  // either it sees the new work, or the caller sees it asleep and wakes it.
  void wake() {
    if (sleeping_.load(std::memory_order_seq_cst) == 1 && sleeping_.exchange(0) == 1)
      futexWake(sleeping_);
  }

  bool workWaiting() const {
    return accepted_.load(std::memory_order_seq_cst) != handled_.load(std::memory_order_acquire) ||
           dropped_.load(std::memory_order_seq_cst) != 0 ||
           stopRequested_.load(std::memory_order_seq_cst);
  }

  void sleepUntilWork() {
    sleeping_.store(1, std::memory_order_seq_cst);
    if (workWaiting()) {
      sleeping_.store(0, std::memory_order_relaxed);
      return;
    }
    // A wake between the test and the wait changes the word, so the wait returns at once.
    while (sleeping_.load(std::memory_order_acquire) == 1) futexWait(sleeping_, 1);
    wakeUps_.fetch_add(1, std::memory_order_relaxed);
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

  bool popMessage(std::string& line) {
    std::lock_guard<std::mutex> lock(messagesMutex_);
    if (messages_.empty()) return false;
    line = std::move(messages_.front());
    messages_.pop_front();
    return true;
  }

  // Everything still queued is given up: counted as dropped and handled, so that flush
  // does not wait for it.
  void dropQueued() {
    Entry entry;
    std::uint64_t count = 0;
    while (queue_.pop(entry)) ++count;
    for (std::string line; popMessage(line);) ++count;
    dropped_.fetch_add(count, std::memory_order_relaxed);
    handled_.fetch_add(count, std::memory_order_release);
  }

  // Writes everything queued; false when standard error stopped taking lines while the
  // writer was asked to stop.
  bool drain() {
    for (std::string line; popMessage(line);) {
      const bool written = reportDropped() && writeLine(line.data(), line.size());
      if (!written) dropped_.fetch_add(1, std::memory_order_relaxed);
      handled_.fetch_add(1, std::memory_order_release);
      if (!written) return false;
    }
    Entry entry;
    while (queue_.pop(entry)) {
      char line[128];
      const std::size_t length = formatParameterLine(entry.index, entry.value, line, sizeof line);
      const bool written = reportDropped() && writeLine(line, length);
      if (!written) dropped_.fetch_add(1, std::memory_order_relaxed);
      handled_.fetch_add(1, std::memory_order_release);
      if (!written) return false;
    }
    return reportDropped();
  }

  void drainUntilStopped() {
    for (;;) {
      // Read before draining, so that every line queued before the request is written.
      const bool stopping = stopRequested_.load(std::memory_order_acquire);
      if (!drain() || stopping) break;
      sleepUntilWork();
    }
    dropQueued();
    // Standard error took nothing until the end: the count is still worth one try, as long
    // as it costs no wait.
    const std::uint64_t lost = dropped_.exchange(0, std::memory_order_relaxed);
    if (lost > 0 && standardErrorWritable(0)) {
      char line[128];
      const std::size_t length = formatDroppedLine(lost, line, sizeof line);
      writeToStandardError(line, length);
    }
  }

  BoundedQueue<Entry, kQueueCapacity> queue_;
  std::atomic<std::uint64_t> dropped_{0};
  std::atomic<std::uint64_t> accepted_{0};
  std::atomic<std::uint64_t> handled_{0};
  std::atomic<bool> stopRequested_{false};
  // 1 while the writer sleeps or is about to.
  std::atomic<std::uint32_t> sleeping_{0};
  std::atomic<std::uint64_t> wakeUps_{0};

  // Messages come from user-interface threads only, never the audio thread.
  std::mutex messagesMutex_;
  std::deque<std::string> messages_;

  // The writer's life is managed on the UI thread only; the audio thread never takes it.
  std::mutex control_;
  int users_ = 0;
  // Written under control_; read without it by message().
  std::atomic<bool> running_{false};
  pthread_t thread_{};
};

// Built when the library is loaded, before any effect exists, and destroyed when it is
// unloaded.
Writer writer;

}  // namespace

void logParameterChange(int index, float value) {
  writer.log(index, value);
}

void logMessage(std::string_view text) {
  writer.message(text);
}

unsigned long long writerWakeUps() {
  return writer.wakeUps();
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
