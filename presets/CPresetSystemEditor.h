#pragma once
// The editor object the effect creates with itself and keeps for its whole life. Besides
// the preset strip of the open panel, it carries out the preset system's work that needs
// no window: the defaults applied at start-up and the names shown for the presets.

#include "host/AEffGUIEditor.h"

class CPresetSystemEffect;

class CPresetSystemEditor : public AEffGUIEditor {
 public:
  explicit CPresetSystemEditor(AudioEffect* effect);
  ~CPresetSystemEditor() override = default;

  // Opening needs the panel's frame, which the effect's own editor builds first.
  bool open(void* parentWindow) override;
  void close() override;

  // UI thread. The host renamed the current program; the panel shows the new name.
  virtual void nameChangedExternal(const char* name);
  // UI thread, at start-up: applies what the user's preferences remember.
  virtual void loadDefaults();

 protected:
  CPresetSystemEffect* presetEffect() const;
};
