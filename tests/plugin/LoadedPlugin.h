#pragma once
// The built plug-in, loaded once for the whole test program as a DAW keeps a plug-in
// loaded while it creates and removes instances. Every check here goes through the
// shared object's entry point and AEffect record, never through the plug-in's classes.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "vsthost/HostedEffect.h"
#include "vsthost/PluginLibrary.h"

namespace tavola::plugintest {

inline const char* pluginPath() {
  return TAVOLA_PLUGIN_PATH;
}

// Unloaded at exit, after every test has closed its instances.
inline const PluginLibrary& pluginLibrary() {
  static const PluginLibrary library(pluginPath());
  return library;
}

// A new instance, opened; fails the current test (and gives null) when it cannot be made.
inline std::unique_ptr<HostedEffect> makeEffect(const HostOptions& options = {}) {
  std::string error;
  std::unique_ptr<HostedEffect> effect = HostedEffect::create(pluginLibrary(), &error, options);
  EXPECT_TRUE(effect) << error;
  return effect;
}

// The controls of the equaliser with their names and display texts under the factory
// preset "Default", as the host must see them.
struct ControlText {
  int index;
  const char* name;
  const char* display;
};

inline constexpr ControlText kDefaultControls[] = {
    {0, "EQ all", "On   "},    {6, "OUTput", "0.00dB"}, {7, "SAT", "Thru"},
    {8, "HPF", "On   "},       {9, "HPFfreq", "15Hz"},  {12, "LF", "On   "},
    {13, "LFfreq", "100Hz"},   {15, "LFgain", "0.0dB"}, {20, "MF", "On   "},
    {21, "MFfreq", "2.00kHz"}, {23, "MFgain", "0.0dB"}, {24, "HF", "On   "},
    {25, "HFfreq", "6.00kHz"}, {27, "HFgain", "0.0dB"},
};

// The normalised values of "Default" for the same controls, in the same order.
inline constexpr float kDefaultValues[] = {1.0f, 0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f,
                                           0.5f, 1.0f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f};

inline bool isControl(int index) {
  for (const ControlText& control : kDefaultControls)
    if (control.index == index) return true;
  return false;
}

}  // namespace tavola::plugintest
