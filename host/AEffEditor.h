#pragma once
// Base of an effect's editor as the host sees it: the rectangle, open, close and idle
// requests of the dispatcher arrive here.
//
// Thread contract: every operation runs on the host's UI thread (the dispatcher's thread);
// the audio thread never touches an editor.

#include "host/VstInterface.h"

class AudioEffect;

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* effect) : effect_(effect) {}
  virtual ~AEffEditor() = default;
  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  // UI thread. The host asks for the window size before it opens the editor.
  virtual bool getRect(ERect** rect) {
    *rect = nullptr;
    return false;
  }
  // UI thread. `parentWindow` is the host's native window (an X11 Window id on Linux).
  virtual bool open(void* parentWindow) {
    systemWindow_ = parentWindow;
    return false;
  }
  // UI thread.
  virtual void close() { systemWindow_ = nullptr; }
  virtual bool isOpen() const { return systemWindow_ != nullptr; }
  // UI thread, called regularly by the host while the editor is open.
  virtual void idle() {}
  // UI thread: the host's knob mode and the keys it passes on while the editor has focus.
  virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
  virtual bool onKeyDown(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifier*/) {
    return false;
  }
  virtual bool onKeyUp(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifier*/) {
    return false;
  }

  AudioEffect* getEffect() const { return effect_; }

 protected:
  AudioEffect* effect_;
  void* systemWindow_ = nullptr;
};
