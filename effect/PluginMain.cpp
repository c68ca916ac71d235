// The shared object's only exported symbols: the entry point hosts look up by name.

#include "effect/Tavola.h"

namespace {

// The one question asked of the host while the effect is made: a host without the
// version request predates VST 2, and the effect needs 2.4.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  if (!audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
  return new Tavola(audioMaster);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  if (!audioMaster) return nullptr;
  AudioEffect* effect = createEffectInstance(audioMaster);
  return effect ? effect->getAeffect() : nullptr;
}

// Older Linux hosts look the entry point up under the name "main".
__attribute__((visibility("default"))) AEffect* vstPluginMainLegacy(
    audioMasterCallback audioMaster) asm("main");
AEffect* vstPluginMainLegacy(audioMasterCallback audioMaster) {
  return VSTPluginMain(audioMaster);
}

}  // extern "C"
