#pragma once
// The names the LV2 binding is known by: the plug-in, its panel and its state property.

namespace tavola::lv2 {

inline constexpr const char* kPluginUri = "http://www.tavola.audio/lv2/tavola";
inline constexpr const char* kPanelUri = "http://www.tavola.audio/lv2/tavola#panel";
// The whole bank, in the bytes of the VST 2.4 chunk.
inline constexpr const char* kBankStateUri = "http://www.tavola.audio/lv2/tavola#bank";
inline constexpr const char* kPresetUriPrefix = "http://www.tavola.audio/lv2/tavola/preset/";
// The shared object inside the bundle, and the bundle's folder name.
inline constexpr const char* kBinaryName = "Tavola.so";
inline constexpr const char* kBundleName = "Tavola.lv2";

}  // namespace tavola::lv2
