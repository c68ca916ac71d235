#pragma once
// A host callback that writes down the gestures and automated values an effect sends, in
// the order they arrive ("begin 7; set 7=1; end 7"), and answers nothing else.

#include <cstdio>
#include <string>

#include "host/VstInterface.h"

namespace editor_test {

inline std::string& hostTrace() {
  static std::string trace;
  return trace;
}

// What the host heard since the last call.
inline std::string takeHostTrace() {
  std::string taken = hostTrace();
  hostTrace().clear();
  return taken;
}

inline VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                               float opt) {
  char text[64] = {};
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterAutomate:
      std::snprintf(text, sizeof text, "set %d=%g", index, static_cast<double>(opt));
      break;
    case audioMasterBeginEdit:
      std::snprintf(text, sizeof text, "begin %d", index);
      break;
    case audioMasterEndEdit:
      std::snprintf(text, sizeof text, "end %d", index);
      break;
    default:
      return 0;
  }
  if (!hostTrace().empty()) hostTrace() += "; ";
  hostTrace() += text;
  return 1;
}

}  // namespace editor_test
