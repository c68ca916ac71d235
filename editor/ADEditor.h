#pragma once
// The effect's editor: a fixed 720 x 352 panel. It mirrors parameter changes into the
// panel's controls and refreshes the latency read-outs when the effect's rate changes.

#include "presets/CPresetSystemEditor.h"

class ADEditor : public CPresetSystemEditor {
 public:
  static constexpr int kWidth = 720;
  static constexpr int kHeight = 352;

  explicit ADEditor(AudioEffect* effect);
  ~ADEditor() override;

  // Any thread the effect's parameter changes arrive on; does nothing while closed.
  void setParameter(VstInt32 index, float value) override;
  // The effect's suspend and resume call these to refresh the latency read-outs.
  virtual void internalSampleRateChanged();
  virtual void resume();
};
