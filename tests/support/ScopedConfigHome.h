#pragma once
// A test's own preferences: XDG_CONFIG_HOME points at a fresh folder for as long as the
// object lives, and is put back afterwards. Every effect made meanwhile reads and writes
// its preferences there, never the user's, and never those of a test running beside it.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/TempFolder.h"

namespace tavola::test {

class ScopedConfigHome {
 public:
  ScopedConfigHome() {
    if (const char* previous = std::getenv("XDG_CONFIG_HOME")) previous_ = previous;
    ::setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
  }
  ~ScopedConfigHome() {
    if (previous_)
      ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }
  ScopedConfigHome(const ScopedConfigHome&) = delete;
  ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

  // The folder the effects keep their values in, one file per key.
  std::filesystem::path store() const { return folder_.path() / "tavola"; }
  std::filesystem::path value(const std::string& key) const { return store() / key; }

 private:
  TempFolder folder_;
  std::optional<std::string> previous_;
};

}  // namespace tavola::test
