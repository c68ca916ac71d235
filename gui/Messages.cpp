#include "gui/Messages.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace VSTGUI {
namespace {

std::atomic<MessageSink> installedSink{nullptr};

// Standard error may be a pipe nobody reads: a write that would wait is skipped.
void writeIfWritable(std::string_view text) {
  std::string line = "ZEB Tavola: ";
  line += text;
  line += '\n';
  pollfd descriptor{STDERR_FILENO, POLLOUT, 0};
  if (::poll(&descriptor, 1, 0) != 1) return;
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace

void setMessageSink(MessageSink sink) {
  installedSink.store(sink, std::memory_order_release);
}

void reportMessage(std::string_view text) {
  if (MessageSink sink = installedSink.load(std::memory_order_acquire))
    sink(text);
  else
    writeIfWritable(text);
}

}  // namespace VSTGUI
