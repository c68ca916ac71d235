#pragma once
// Writing to the process's standard error without the C library's stream lock or any
// allocation: one write system call per message, so that lines from several threads
// never interleave within a line.

#include <cstddef>

namespace tavola {

void writeToStandardError(const char* text, std::size_t length);

}  // namespace tavola
