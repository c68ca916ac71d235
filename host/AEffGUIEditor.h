#pragma once
// Editor base for panels built with the GUI toolkit: keeps the editor rectangle, the
// parent window, the frame and the knob mode, and forwards the toolkit's edit gestures to
// the effect. Opening and closing are one sequence for every panel: the frame, then what
// the panel builds on it; on closing, the panel lets go of it before the frame goes.
//
// Threads: the host's user-interface thread, except setParameter (see there).

#include "gui/VSTGUIEditorInterface.h"
#include "host/AEffEditor.h"

class AudioEffectX;

namespace VSTGUI {
class CFrame;
}

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  // The effect hears the panel's gestures.
  explicit AEffGUIEditor(AudioEffectX* effect);
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;
  // Makes the frame (makeFrame), then the panel on it (buildPanel); false, and nothing
  // open, when there is no frame. Opened in another window while open, the panel moves.
  bool open(void* parentWindow) final;
  // The panel lets go (tearDownPanel), then the frame closes.
  void close() final;
  bool isOpen() const override { return frame_ != nullptr; }
  // Handles the window's events and redraws what is dirty.
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

  VSTGUI::CFrame* getFrame() const { return frame_; }
  bool isParameter(long index) const;

 protected:
  // The frame for `parentWindow` (null: a frame that draws only into its buffer); null
  // when it cannot be made. By default a plain frame of the editor's rectangle; a panel
  // with a background of its own makes its own.
  virtual VSTGUI::CFrame* makeFrame(void* parentWindow);
  // Fills the new frame.
  virtual void buildPanel() {}
  // At every close, before the frame closes (if one is open): every pointer into it is let
  // go, and what the panel started ends.
  virtual void tearDownPanel() {}

  AudioEffectX* effectX_;
  ERect rect_{0, 0, 0, 0};
  VSTGUI::CFrame* frame_ = nullptr;
  static inline VstInt32 knobMode_ = 0;
};
