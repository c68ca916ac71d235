#pragma once
// Everything the plug-in writes to standard error goes through one writer thread:
//   - the effect's diagnostic line, one per setParameter call:
//       "Tavola::setParameter # <index>\t <value>\t\n"
//   - messages for the user or the host's log ("ZEB Tavola: ..."): alerts, X11 trouble.
// Standard error may be a pipe that nobody reads, where a write blocks for ever, and the
// callers are the host's audio and user-interface threads, which must never wait. So a
// caller only queues, and a low-priority writer thread formats and writes. When a queue
// is full the line is counted instead, and the writer later says in one line how many it
// dropped. The writer sleeps until there is something to write.
//
// One writer serves every instance in the process: it starts with the first instance, is
// asked to stop when the last one goes (without waiting for it), and is joined when the
// library is unloaded, by which time it has given up any write that standard error would
// not take.

#include <chrono>
#include <cstddef>
#include <string_view>

namespace tavola::diagnostics {

// Any thread, the audio thread included: never blocks, allocates or does I/O. Wakes the
// writer (one system call) only when it sleeps.
void logParameterChange(int index, float value);

// Any thread but the audio thread: `text` becomes one line (line breaks made spaces, a
// line break added). With no writer running (no instance exists) it is written at once if
// standard error takes it without waiting, else dropped.
void logMessage(std::string_view text);

// The line as the writer writes it, into `line` (NUL-terminated); returns its length.
std::size_t formatParameterLine(int index, float value, char* line, std::size_t capacity);

// What the writer writes after dropping `count` lines.
std::size_t formatDroppedLine(unsigned long long count, char* line, std::size_t capacity);

// UI thread: each effect instance holds one of these for its life, which keeps the writer
// running. Creating the first starts the writer (and waits for a writer still ending from
// an earlier last instance, at most a fraction of a second); destroying the last only asks
// it to stop.
class WriterUse {
 public:
  WriterUse();
  ~WriterUse();
  WriterUse(const WriterUse&) = delete;
  WriterUse& operator=(const WriterUse&) = delete;
};

// Not on the audio thread: waits until every line queued before the call has been
// written or dropped, or until `timeout` has passed; true when it got there. For tests
// and tools that must see the lines before they go on.
bool flush(std::chrono::milliseconds timeout);

// How often the writer has woken from its sleep so far: for tests and benchmarks that
// check it sleeps while there is nothing to do.
unsigned long long writerWakeUps();

}  // namespace tavola::diagnostics
