#pragma once
// Where the bank shows what its readers and the host do, when something shows it (the editor
// object's preset strip); the bank works the same without one.
//
// Threads: the thread that reads the image (the host's user-interface thread).

class PresetView {
 public:
  virtual ~PresetView() = default;
  // The preset menu selects entry `preset` and gives it `name` (a reader has just read
  // that preset's name).
  virtual void presetNameShown(int preset, const char* name) = 0;
  // The preset menu selects entry `preset` and the name field shows `name` (a reader has
  // finished, or a bank was loaded, and that preset is about to be applied).
  virtual void currentPresetShown(int preset, const char* name) = 0;
  // The host renamed the current preset to `name`.
  virtual void presetRenamed(const char* name) = 0;
};
