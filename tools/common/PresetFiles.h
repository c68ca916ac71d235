#pragma once
// Preset and bank files for the command-line tools, read, checked and written by the
// plug-in's own format code (presets/, the tavola_presetformat library), so that a file
// the tools accept is one the plug-in loads, and the reasons for refusing one are the
// plug-in's. What a reader needs to know of the plug-in (its unique identifier and which
// parameters its images store) is learnt from the plug-in through the host interface.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "presets/format/ImageDecoding.h"
#include "presets/format/PresetRecord.h"
#include "tools/common/Console.h"
#include "tools/common/EffectSession.h"
#include "tools/common/Status.h"

class HostedEffect;

namespace tavola::render {

struct PluginPresetFacts {
  std::int32_t uniqueId = 0;
  // The parameter indices the plug-in's images store. The plug-in passes over the other
  // positions of the version-1 layouts, so a reader here does the same.
  image::ParameterMask stored;
  // The preset a reader starts every preset from: the plug-in's factory preset 0.
  PresetRecord templatePreset{};
};

// Asks the instance for its identifier and reads its own state chunk for the rest.
Status learnPresetFacts(HostedEffect& effect, PluginPresetFacts& facts);
// The same from a fresh instance, quietly.
Status learnPresetFacts(const PluginHost& host, const Console& console, PluginPresetFacts& facts);

// Larger files are no preset, bank or chunk of ours and are refused unread.
constexpr std::size_t kMaxPresetFileBytes = 1 << 20;

// The whole file. The failures say which file and why.
Status readPresetFileBytes(const std::string& path, std::vector<unsigned char>& bytes);

// One preset as a file gives it, read as the plug-in reads that file into a preset.
struct FilePreset {
  std::string path;
  // The preset's number in a bank file; -1 for a preset file.
  int bankIndex = -1;
  PresetRecord preset{};
};

// A preset file (kinds 33 and 34).
Status readPresetFile(const std::string& path, const PluginPresetFacts& facts, FilePreset& out);
// Preset `index` (0 to 6) of a bank file (kinds 55 and 56).
Status readBankPreset(const std::string& path, int index, const PluginPresetFacts& facts,
                      FilePreset& out);

// The instance's current preset as a preset image named `name`: taken from the
// instance's own state chunk, so it holds exactly what the plug-in would save.
Status currentPresetImage(HostedEffect& effect, const PluginPresetFacts& facts,
                          const std::string& name, std::vector<unsigned char>& image);

// Writes a whole file as the plug-in saves one: a temporary file beside it, synced and
// renamed over it, so a failure leaves an earlier file whole.
Status writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// The file's name without folder and extension.
std::string presetStemFromPath(const std::string& path);
// A preset name from a file's path: its stem, cut to the 23 bytes a preset name holds
// without splitting a UTF-8 character.
std::string presetNameFromPath(const std::string& path);
// `name` cut the same way.
std::string fittedPresetName(const std::string& name);

}  // namespace tavola::render
