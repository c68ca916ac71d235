#pragma once
// What the toolkit asks of the editor that owns a frame: the edit bracket of a gesture on a
// parameter and the knob mode.
// The toolkit knows nothing else of the plug-in.

namespace VSTGUI {

class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  virtual void beginEdit(long tag) = 0;
  virtual void endEdit(long tag) = 0;
  // 2 is linear dragging, the only mode the panels use.
  virtual long getKnobMode() const = 0;
};

}  // namespace VSTGUI
