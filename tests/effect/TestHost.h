#pragma once
// A minimal host callback for tests that construct the effect directly: answers the
// version query and reports every pin as connected.

#include <memory>

#include "effect/Tavola.h"

namespace tavola::test {

inline VstIntPtr connectedHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

inline std::unique_ptr<Tavola> makeEffect() {
  return std::make_unique<Tavola>(connectedHost);
}

}  // namespace tavola::test
