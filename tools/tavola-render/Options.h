#pragma once
// The command line of tavola-render, parsed into plain values. Parsing checks only what the
// command line itself can tell (options, numbers, file extensions); preset and parameter
// names are checked later against the plug-in.

#include <string>
#include <vector>

#include "tools/common/ParameterValue.h"
#include "tools/common/Status.h"
#include "tools/tavola-render/RenderLoop.h"

namespace tavola::render {

// kSavePreset: --save-preset without INPUT and OUTPUT, which saves the settings and
// renders nothing.
enum class Mode { kRender, kList, kDemo, kHelp, kSavePreset };

// One "--set NAME=VALUE", as typed.
// Everything the command line asks for a render; preset and parameters still as typed.
struct RenderJob {
  std::string input;
  std::string output;
  // As typed: a number or a name. Empty: the factory preset "Default", unless a preset
  // or bank file is given instead.
  std::string preset;
  // A preset file (.zeb) to start from, or a bank file (.zbb) and the number of the
  // preset in it (0 to 6).
  std::string presetFile;
  std::string bank;
  int bankPreset = 0;
  // Where to save the settings of the render as a preset file, and the preset's name
  // (empty: the file's name without its extension).
  std::string savePreset;
  std::string presetName;
  std::vector<ParameterRequest> parameters;
  RenderSettings settings;
  bool floatOutput = false;
  bool force = false;
};

struct Options : RenderJob {
  Mode mode = Mode::kRender;
  std::string demoDirectory = "out/demo";
  bool verbose = false;
  // Empty: the plug-in built with the renderer.
  std::string plugin;
};

constexpr int kMaxBlockSize = 65536;

// arguments excludes the program name.
Status parseOptions(const std::vector<std::string>& arguments, Options& options);

const char* usageText();

}  // namespace tavola::render
