// The preset system editor's image readers and writers, as the preset system names them:
// each hands the work to the effect's bank; the open panel's strip shows what was read at
// its next idle.

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

using namespace tavola::image;

ImageReadResult CPresetSystemEditor::BufferToPreset(std::span<const unsigned char> records,
                                                    const newpresetheader& header, bool foreign) {
  return bank_.readPresetRecords(records, header, foreign);
}

ImageReadResult CPresetSystemEditor::BufferToPresetOld(std::span<const unsigned char> data,
                                                       bool foreign, std::int64_t floatCount) {
  return bank_.readOldPreset(data, foreign, floatCount);
}

ImageReadResult CPresetSystemEditor::BufferToBank(std::span<const unsigned char> records,
                                                  const newpresetheader& header, bool foreign) {
  return bank_.readBankRecords(records, header, foreign);
}

ImageReadResult CPresetSystemEditor::BufferToBankOld(std::span<const unsigned char> data,
                                                     bool foreign, std::int64_t presetCount,
                                                     std::int64_t floatCount) {
  return bank_.readOldBank(data, foreign, presetCount, floatCount);
}

ImageReadResult CPresetSystemEditor::readImageFromBytes(std::span<const unsigned char> bytes,
                                                        AcceptedImages accepted,
                                                        bool invertByteOrder,
                                                        CPresetSystemEffect::BankStart start) {
  return bank_.readImage(bytes, accepted, invertByteOrder, start);
}

std::size_t CPresetSystemEditor::PresetToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  return bank_.presetImage(buffer);
}

std::size_t CPresetSystemEditor::BankToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  return bank_.bankImage(buffer);
}
