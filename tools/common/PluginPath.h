#pragma once
// Where the tools find the plug-in of their own build when no --plugin is given.

#include <string>

namespace tavola::render {

// `builtPath` (compiled in) if it is there; else, when the build tree has moved, the
// Tavola.so beside or above the running program; else the one installed in ~/.vst; else
// `builtPath` all the same, so that the error names the file that was expected.
std::string findBuiltPlugin(const std::string& builtPath);

}  // namespace tavola::render
