#pragma once
// One file through the plug-in: the whole of a render from the command line, from
// checking the names to the renamed output file.

#include <string>
#include <vector>

#include "tools/common/Console.h"
#include "tools/common/EffectSession.h"
#include "tools/common/Status.h"
#include "tools/tavola-render/Options.h"
#include "tools/tavola-render/RenderLoop.h"

namespace tavola::render {

struct RenderSummary {
  std::string output;
  std::string format;
  bool floatSamples = false;
  long frames = 0;
  int sampleRate = 0;
  int channels = 0;
  int preset = 0;
  // The starting preset in words: "6 Bright Vox", "\"Air\" from air.zeb".
  std::string presetText;
  std::vector<ParameterSetting> settings;
  RenderResult result;
  bool compensated = true;
  // The preset file saved with --save-preset and the name of the preset in it; empty
  // when none was asked for.
  std::string savedPreset;
  std::string savedName;
};

// Checks in the order a user fixes things: the names (preset, parameters), the input, the
// output, then renders into a temporary file that replaces the output only when complete.
// progress (may be empty) sees the frames fed; when it answers false the render stops and
// nothing is written.
Status renderFile(const PluginHost& host, const Console& console, const RenderJob& job,
                  const RenderProgress& progress, RenderSummary& summary);

// Only --save-preset: sets an instance up as for a render (44.1 kHz, stereo) and saves its
// settings; the job's input and output are not used.
Status saveSettings(const PluginHost& host, const Console& console, const RenderJob& job,
                    RenderSummary& summary);

// The report printed after a render, one item per line.
std::string formatSummary(const RenderSummary& summary);
// The report printed after saveSettings.
std::string formatSaveSummary(const RenderSummary& summary);
// The warning for samples beyond full scale; empty when there were none.
std::string overWarning(const RenderSummary& summary);

}  // namespace tavola::render
