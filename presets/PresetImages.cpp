// The preset system editor's image readers and writers, as the preset system names them:
// each hands the work to the effect's bank, which shows what it reads through this editor
// (presetNameShown, currentPresetShown) while it is the effect's view.

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

using namespace tavola::image;

namespace {

ImageReadResult noPresetMemory() {
  return ImageReadResult::rejected(ImageReadStatus::kNoPresetMemory,
                                   "no preset effect to read the image into");
}

}  // namespace

ImageReadResult CPresetSystemEditor::BufferToPreset(std::span<const unsigned char> records,
                                                    const newpresetheader& header, bool foreign) {
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->readPresetRecords(records, header, foreign) : noPresetMemory();
}

ImageReadResult CPresetSystemEditor::BufferToPresetOld(std::span<const unsigned char> data,
                                                       bool foreign, std::int64_t floatCount) {
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->readOldPreset(data, foreign, floatCount) : noPresetMemory();
}

ImageReadResult CPresetSystemEditor::BufferToBank(std::span<const unsigned char> records,
                                                  const newpresetheader& header, bool foreign) {
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->readBankRecords(records, header, foreign) : noPresetMemory();
}

ImageReadResult CPresetSystemEditor::BufferToBankOld(std::span<const unsigned char> data,
                                                     bool foreign, std::int64_t presetCount,
                                                     std::int64_t floatCount) {
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->readOldBank(data, foreign, presetCount, floatCount) : noPresetMemory();
}

ImageReadResult CPresetSystemEditor::readImageFromBytes(std::span<const unsigned char> bytes,
                                                        AcceptedImages accepted,
                                                        bool invertByteOrder) {
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->readImage(bytes, accepted, invertByteOrder) : noPresetMemory();
}

std::size_t CPresetSystemEditor::PresetToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  buffer.reset();
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->presetImage(buffer) : 0;
}

std::size_t CPresetSystemEditor::BankToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  buffer.reset();
  CPresetSystemEffect* effect = presetEffect();
  return effect ? effect->bankImage(buffer) : 0;
}
