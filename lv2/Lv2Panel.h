#pragma once
// The effect's panel as an LV2 X11 user interface: the same 720 x 352 editor with its
// preset strip, embedded in the host's window. It needs the host to hand it the plug-in
// instance (instance access), since the strip works on the effect's own bank.
//
// What the panel changes reaches the host as port writes, so the host records automation:
// the panel's gestures at once, and every other change of the effect's values (a preset
// chosen on the strip, a file loaded, a state restored) at the next idle. What the host
// writes to a port reaches the effect through port_event as well as through run, so the
// knob follows even while no audio runs.
//
// A host that gives no parent window shows the panel in a window of its own, through the
// show interface.
//
// Threads: the host's UI thread; port_event and idle too.

#include <lv2/ui/ui.h>

#include <array>
#include <memory>

#include "lv2/ports/PortTable.h"

class Lv2Effect;

class Lv2Panel {
 public:
  // Null, with the reason on standard error, without instance access, when the instance
  // already has a panel, or when the panel cannot open in the host's parent window. Without
  // a parent window the panel opens when the host shows it.
  static std::unique_ptr<Lv2Panel> create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                          LV2UI_Widget* widget, const LV2_Feature* const* features);
  ~Lv2Panel();

  void portEvent(unsigned port, unsigned size, unsigned format, const void* buffer);
  // Handles the window's events, redraws, and tells the host what changed; 0 while open.
  int idle();
  // In a window of its own, for hosts without a parent window: 0 when shown or hidden.
  int show();
  int hide();

  // From the effect's automation calls, on the UI thread.
  void hostAutomate(int parameter, float normalised);
  void hostGesture(int parameter, bool begin);

 private:
  Lv2Panel(Lv2Effect& instance, LV2UI_Write_Function write, LV2UI_Controller controller,
           const LV2UI_Touch* touch);
  void tellHost(const tavola::lv2::ControlPort& control, int step);
  void tellHostWhatChanged();
  bool openIn(void* parent);

  Lv2Effect& instance_;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Touch* touch_;
  // The step of each control port as the host last had it (-1: not known yet).
  std::array<int, tavola::lv2::kNumControlPorts> hostSteps_{};
};
