#pragma once
// Writing to the process's standard error without the C library's stream lock or any
// allocation: one write system call per message, so that lines from several threads
// never interleave within a line.
//
// Thread contract: any thread but the audio thread. A write may block for as long as
// whoever reads standard error (a terminal, a host's log pipe) lets it.

#include <cstddef>

namespace tavola {

void writeToStandardError(const char* text, std::size_t length);

// Waits up to `milliseconds` (0: not at all) until a write to standard error of one line
// would not block; false when it still would. A closed standard error counts as writable:
// the write then fails at once.
bool standardErrorWritable(int milliseconds);

}  // namespace tavola
