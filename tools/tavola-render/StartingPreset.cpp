#include "tools/tavola-render/StartingPreset.h"

#include "tools/common/Presets.h"

namespace tavola::render {

std::string StartingPreset::description() const {
  if (!file) return std::to_string(factoryIndex) + " " + presetName(factoryIndex);
  const std::string name = "\"" + std::string(file->preset.name) + "\"";
  if (file->bankIndex < 0) return name + " from " + file->path;
  return std::to_string(file->bankIndex) + " " + name + " of the bank " + file->path;
}

void StartingPreset::applyTo(EffectSetup& setup) const {
  setup.preset = factoryIndex;
  if (file)
    setup.presetValues = file->preset;
  else
    setup.presetValues.reset();
}

Status chooseStartingPreset(const std::string& factoryPreset, const std::string& presetFile,
                            const std::string& bank, int bankPreset, const PluginPresetFacts& facts,
                            StartingPreset& start) {
  start = StartingPreset();
  if (!presetFile.empty()) {
    FilePreset file;
    if (Status status = readPresetFile(presetFile, facts, file); !status.ok()) return status;
    start.file = file;
    return Status();
  }
  if (!bank.empty()) {
    FilePreset file;
    if (Status status = readBankPreset(bank, bankPreset, facts, file); !status.ok()) return status;
    start.file = file;
    return Status();
  }
  if (!factoryPreset.empty()) return findPreset(factoryPreset, start.factoryIndex);
  return Status();
}

}  // namespace tavola::render
