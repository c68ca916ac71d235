#pragma once
// The command line of tavola-preset, parsed into plain values.

#include <string>
#include <vector>

#include "tools/common/Status.h"

namespace tavola::presettool {

struct ToolOptions {
  bool help = false;
  // Print these files.
  std::vector<std::string> files;
  // Or write the plug-in's state chunk, with factory preset `preset` (a number or name,
  // empty: 0) set up as the renderer sets it up, to this file.
  std::string writeChunk;
  std::string preset;
  bool force = false;
  // Empty: the plug-in built with the tool.
  std::string plugin;
};

// arguments excludes the program name.
render::Status parseToolOptions(const std::vector<std::string>& arguments, ToolOptions& options);

const char* toolUsageText();

}  // namespace tavola::presettool
