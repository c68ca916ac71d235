#pragma once
// Editor base for panels built with the GUI toolkit: keeps the editor rectangle, the
// parent window and the knob mode, and forwards edit gestures to the effect.

#include "host/AEffEditor.h"

class AEffGUIEditor : public AEffEditor {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override = default;

  bool getRect(ERect** rect) override;
  bool open(void* parentWindow) override;
  void idle() override;
  bool setKnobMode(VstInt32 mode) override;

  // Any thread the effect's parameter changes arrive on: mirrors a value into the panel.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  // UI thread: bracket a user's gesture on a parameter for the host's automation.
  virtual void beginEdit(VstInt32 index);
  virtual void endEdit(VstInt32 index);

  static VstInt32 getKnobMode() { return knobMode_; }

 protected:
  ERect rect_{0, 0, 0, 0};
  bool inIdleStuff_ = false;
  static inline VstInt32 knobMode_ = 0;
};
