#pragma once
// Requests of our own that a host can send through effVendorSpecific. The in-repo host
// uses them; other hosts never send these codes.

#include "host/VstInterface.h"

namespace tavola {

// ptr: a NUL-terminated path. The effect draws its editor panel as it stands (opening it
// off screen for the purpose when it is closed) and writes it there as a PNG. Answers 1
// when the picture was written, 0 otherwise.
inline constexpr VstInt32 kEditorPictureRequest = fourCharCode('T', 'v', 'P', 'n');

}  // namespace tavola
