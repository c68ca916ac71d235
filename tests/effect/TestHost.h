#pragma once
// For tests that construct the effect directly: a minimal host callback that answers the
// version query and reports every pin as connected, and a way to keep the effect's
// diagnostic lines out of the test output.

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "effect/Tavola.h"

namespace tavola::test {

inline VstIntPtr connectedHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

inline std::unique_ptr<Tavola> makeEffect() {
  return std::make_unique<Tavola>(connectedHost);
}

// Runs `action` and returns what it wrote to standard error (the effect writes one line per
// parameter change).
inline std::string capturedStderr(const std::function<void()>& action) {
  testing::internal::CaptureStderr();
  action();
  return testing::internal::GetCapturedStderr();
}

// Runs `action` with those lines kept out of the test's output.
inline void quietly(const std::function<void()>& action) {
  capturedStderr(action);
}

}  // namespace tavola::test
