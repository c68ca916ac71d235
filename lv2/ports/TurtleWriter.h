#pragma once
// The bundle's description in Turtle, written at build time from the port table and the
// factory presets, so that what hosts read can never disagree with what the plug-in does.
//
// Thread contract: any thread; pure.

#include <string>

namespace tavola::lv2 {

// manifest.ttl: the plug-in, its panel and its presets, and where each is described.
std::string manifestTurtle();
// Tavola.ttl: the plug-in's ports and features, and its panel.
std::string pluginTurtle();
// presets.ttl: the factory presets as port values.
std::string presetsTurtle();
// A preset's URI: the factory preset's number and its name in lower case.
std::string presetUri(int preset);

// A number as Turtle reads a decimal: shortest round-trip form, always with a point.
std::string turtleNumber(double value);

}  // namespace tavola::lv2
