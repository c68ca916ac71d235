#pragma once
// The demo: a test signal, its renders through every factory preset, and a plot of the
// presets' magnitude responses measured through the plug-in itself.

#include <functional>
#include <string>
#include <vector>

#include "tools/common/Console.h"
#include "tools/common/EffectSession.h"
#include "tools/common/Status.h"
#include "tools/tavola-render/RenderLoop.h"
#include "tools/tavola-render/ResponsePlot.h"

namespace tavola::render {

struct DemoSettings {
  double signalSeconds = 6.0;
  int sampleRate = 44100;
  // The low-cut near 2 Hz and the high-pass ring for a long time; 1.5 s of response keeps
  // their share of the sum below what the plot can show.
  long impulseFrames = 65536;
  int plotPoints = 300;
  RenderSettings render;
  // Asked between the steps and during the renders; false stops the demo (interrupted).
  std::function<bool()> keepGoing;
};

struct DemoReport {
  std::vector<std::string> files;
  std::vector<double> frequencies;
  std::vector<ResponseCurve> curves;
  // The same responses at a few round frequencies, for a table in the terminal.
  std::vector<double> tableFrequencies;
  std::vector<std::vector<double>> table;
};

// Writes input.wav, 01-Default.wav ... 07-Bright-Vox.wav and responses.png into
// directory (made if missing), replacing earlier demo files there. note() hears of each
// file as it is written.
Status runDemo(const PluginHost& host, const Console& console, const std::string& directory,
               const DemoSettings& settings, const std::function<void(const std::string&)>& note,
               DemoReport& report);

// The table of the report as text, one preset a line.
std::string formatResponseTable(const DemoReport& report);

}  // namespace tavola::render
