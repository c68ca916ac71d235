#pragma once
// Where the settings of a render start: a factory preset (by number or name), a preset
// file, or one preset of a bank file. Files are read as the plug-in reads them
// (PresetFiles), and their values are then set through the host interface like a factory
// preset's.

#include <optional>
#include <string>

#include "tools/common/EffectSession.h"
#include "tools/common/PresetFiles.h"
#include "tools/common/Status.h"

namespace tavola::render {

struct StartingPreset {
  int factoryIndex = 0;
  std::optional<FilePreset> file;

  // "6 Bright Vox", "\"Air\" from air.zeb", "3 \"Zoom 1\" of the bank my.zbb".
  std::string description() const;
  void applyTo(EffectSetup& setup) const;
};

// At most one of the three is non-empty (the command line sees to it); none means factory
// preset 0. A bad preset name is a usage error, a file that cannot be used a runtime one.
Status chooseStartingPreset(const std::string& factoryPreset, const std::string& presetFile,
                            const std::string& bank, int bankPreset, const PluginPresetFacts& facts,
                            StartingPreset& start);

}  // namespace tavola::render
