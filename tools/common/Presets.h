#pragma once
// The factory presets as the renderer chooses them. The host interface offers one program
// only (the plug-in switches its presets in its editor), so the renderer applies a preset
// the way the plug-in itself does: by setting all 44 parameters to the preset's values,
// taken from the same table the plug-in is built with.

#include <string>
#include <string_view>

#include "tools/common/Status.h"

namespace tavola::render {

int presetCount();
std::string presetName(int index);

// "2", "Loudness", "loudness", "bright vox", "Bright-Vox": the preset's index. Unknown
// numbers and names give a usage error that lists the presets.
Status findPreset(std::string_view text, int& index);

// "03-Loudness", "07-Bright-Vox": numbered from 1 so that files sort in preset order.
std::string presetFileStem(int index);

// "0 Default, 1 Air, ..."
std::string presetList();

}  // namespace tavola::render
