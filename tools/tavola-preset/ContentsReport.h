#pragma once
// The text tavola-preset prints for a file it has read: what kind of container it is, its
// byte order and format, the current preset of a bank or chunk, and every preset's name
// and stored values, each with its parameter's name and the text the plug-in shows for it.

#include <cstddef>
#include <functional>
#include <string>

#include "presets/format/ImageDecoding.h"
#include "tools/tavola-preset/FileContents.h"

namespace tavola::presettool {

// What the plug-in says about its parameters: the name of index i, and the text it shows
// for a value of it.
struct ParameterTexts {
  std::function<std::string(int index)> name;
  std::function<std::string(int index, float value)> display;
};

// `stored`: the parameters the plug-in's own images store; any of them a preset lacks is
// listed as not stored.
std::string formatContents(const std::string& path, std::size_t size, const FileContents& contents,
                           const image::ParameterMask& stored, const ParameterTexts& texts);

}  // namespace tavola::presettool
