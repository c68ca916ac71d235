#pragma once
// Editor base for panels built with the GUI toolkit: keeps the editor rectangle, the
// parent window, the frame and the knob mode, forwards the toolkit's edit gestures to the
// effect, and runs the editor's periodic work while a control tracks the mouse.
//
// Threads: the host's user-interface thread, except setParameter (see there).

#include <cstdint>

#include "gui/VSTGUIEditorInterface.h"
#include "host/AEffEditor.h"

namespace VSTGUI {
class CFrame;
}

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;
  bool open(void* parentWindow) override;
  void close() override;
  bool isOpen() const override { return frame_ != nullptr; }
  // Redraws what is dirty; does nothing while called from inside doIdleStuff.
  void idle() override;
  bool setKnobMode(VstInt32 mode) override;
  // Keys the host passes on go to the panel's focused control.
  bool onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifier) override;
  bool onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifier) override;

  // Any thread the effect's parameter changes arrive on: mirrors a value into the panel.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

  // The toolkit's side: gestures of parameters go to the host, others nowhere.
  void beginEdit(long index) override;
  void endEdit(long index) override;
  long getKnobMode() const override { return knobMode_; }
  // While a control tracks the mouse: at most every 100 ms, the editor's idle and the
  // host's idle. The toolkit calls it from the event that moved the mouse, so it never
  // waits and never runs an event loop of its own.
  void doIdleStuff() override;

  VSTGUI::CFrame* getFrame() const { return frame_; }
  bool isParameter(long index) const;

  // The tick count doIdleStuff measures time with, in milliseconds.
  static std::uint32_t getTicks();

 protected:
  ERect rect_{0, 0, 0, 0};
  VSTGUI::CFrame* frame_ = nullptr;
  bool inIdleStuff_ = false;
  std::uint32_t nextIdleDue_ = 0;
  static inline VstInt32 knobMode_ = 0;
};
