#pragma once
// A test's own preferences: XDG_CONFIG_HOME points at a fresh folder for as long as the
// object lives, and is put back afterwards. Every effect made meanwhile reads and writes
// its preferences there, never the user's, and never those of a test running beside it.

#include <filesystem>
#include <string>

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

namespace tavola::test {

class ScopedConfigHome {
 public:
  ScopedConfigHome() = default;

  // The folder the effects keep their values in, one file per key.
  std::filesystem::path store() const { return folder_.path() / "tavola"; }
  std::filesystem::path value(const std::string& key) const { return store() / key; }

 private:
  TempFolder folder_;
  ScopedEnvironment variable_{"XDG_CONFIG_HOME", folder_.path().string()};
};

}  // namespace tavola::test
