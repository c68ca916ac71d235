#pragma once
// The plug-in loaded once, and instances of it set up for a render as a DAW sets up an
// insert: sample rate, block size, speaker arrangement and pins, then the parameters, then
// suspend and resume. Parameters are set before that suspend and resume, so that the output
// level is taken without a ramp, every filter is designed at once, and nothing glides in at
// the start of the output.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "presets/format/PresetRecord.h"
#include "tools/common/Console.h"
#include "tools/common/ParameterSteps.h"
#include "tools/common/ParameterValue.h"
#include "tools/common/Status.h"
#include "vsthost/HostedEffect.h"
#include "vsthost/PluginLibrary.h"

namespace tavola::render {

class PluginHost {
 public:
  static Status load(const std::string& path, const Console& console,
                     std::unique_ptr<PluginHost>& host);
  // A new, opened, suspended instance.
  Status createInstance(std::unique_ptr<HostedEffect>& effect) const;
  const std::string& path() const { return library_->path(); }

 private:
  PluginHost(std::unique_ptr<PluginLibrary> library, const Console& console)
      : library_(std::move(library)), console_(console) {}
  std::unique_ptr<PluginLibrary> library_;
  const Console& console_;
};

struct EffectSetup {
  double sampleRate = 44100.0;
  int channels = 2;
  int blockSize = 512;
  // The factory preset the settings start from, unless `presetValues` holds a preset
  // read from a file: then its 44 values are set instead.
  int preset = 0;
  std::optional<PresetRecord> presetValues;
  std::vector<ParameterSetting> settings;
};

// Sets the instance up and resumes it, then reads every value back: the preset's values
// through getParameter and each setting's display text, so that a plug-in that took a
// value differently is noticed before anything is rendered.
Status prepareEffect(HostedEffect& effect, const Console& console, const EffectSetup& setup);

// The parameter steps of a fresh instance, probed quietly even with --verbose: the
// thousands of changes the probing makes are not part of any render.
Status probeSteps(const PluginHost& host, const Console& console,
                  std::vector<ParameterInfo>& parameters);

// Resolves every "--set" request against the steps of a fresh instance; the first failure
// is returned. A parameter set twice keeps its last value.
Status resolveSettings(const PluginHost& host, const Console& console,
                       const std::vector<ParameterRequest>& requests,
                       std::vector<ParameterSetting>& settings);

}  // namespace tavola::render
