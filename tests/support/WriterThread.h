#pragma once
// Whether the plug-in's diagnostic writer thread runs in this process: it names itself,
// and a sanitizer's runtime may add threads of its own, so a count of all would not do.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace tavola::test {

inline bool writerThreadRunning() {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(entry.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == "tavola-log") return true;
  }
  return false;
}

// Waits up to `tries` times 10 ms for the writer to end; true once it has.
inline bool writerThreadEnds(int tries) {
  for (int attempt = 0; attempt < tries; ++attempt) {
    if (!writerThreadRunning()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !writerThreadRunning();
}

}  // namespace tavola::test
