#pragma once
// The panel art embedded in the plug-in: PNG film strips named "bmpNNNNN" by resource
// number, drawn at build time by tavola-panel-art.

#include <span>

#include "gui/ImageResources.h"

namespace tavola::panel {

std::span<const VSTGUI::ImageResource> panelImages();

}  // namespace tavola::panel
