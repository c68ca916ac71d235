#pragma once
// A frame without a window, an editor and a listener that write down what the controls
// tell them in one trace ("begin 3; value 3=0.5; end 3"), and film strips whose every
// frame has a colour of its own, so that a drawn pixel names the frame it came from.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/VSTGUIEditorInterface.h"
#include "support/GuiTestSupport.h"

namespace controls_test {

using namespace VSTGUI;

// Frame k of every test strip.
inline CColor frameColour(int k) {
  return CColor{static_cast<std::uint8_t>(k * 3), static_cast<std::uint8_t>(255 - k * 3),
                static_cast<std::uint8_t>(40 + k), 255};
}

class Trace : public VSTGUIEditorInterface, public CControlListener {
 public:
  void beginEdit(long tag) override { add("begin " + std::to_string(tag)); }
  void endEdit(long tag) override { add("end " + std::to_string(tag)); }
  long getKnobMode() const override { return 2; }
  void valueChanged(CControl* control) override {
    char text[64];
    std::snprintf(text, sizeof text, "value %ld=%g", control->getTag(),
                  static_cast<double>(control->getValue()));
    add(text);
  }
  std::string take() {
    std::string taken = trace_;
    trace_.clear();
    return taken;
  }

 private:
  void add(const std::string& item) {
    if (!trace_.empty()) trace_ += "; ";
    trace_ += item;
  }
  std::string trace_;
};

class ControlsTest : public testing::Test {
 protected:
  static constexpr int kStripWidth = 20;
  static constexpr int kFrameHeight = 10;
  static constexpr long kStripId = 31000;

  ControlsTest() {
    for (int frames : {2, 3, 5, 13, 65}) {
      std::vector<CColor> colours;
      for (int k = 0; k < frames; ++k) colours.push_back(frameColour(k));
      names_.push_back("bmp" + std::to_string(kStripId + frames));
      images_.add(names_.back().c_str(), gui_test::stripPng(kStripWidth, kFrameHeight, colours));
    }
    images_.publish();
  }

  // A strip of `frames` frames, 20 x 10 each; the caller owns one reference.
  static CBitmap* strip(int frames) { return new CBitmap(kStripId + frames); }
  // The rectangle of one frame at (x, y).
  static CRect at(double x, double y) { return CRect(x, y, x + kStripWidth, y + kFrameHeight); }

  // Which frame of the strip the control shows, from the colour at its centre.
  int shownFrame(const CControl& control) {
    frame_.idle();
    const CRect& size = control.getViewSize();
    const CColor shown = gui_test::pixel(frame_, static_cast<int>(size.left + size.width() / 2),
                                         static_cast<int>(size.top + size.height() / 2));
    for (int k = 0; k < 65; ++k)
      if (shown == frameColour(k)) return k;
    return -1;
  }

  CMouseEventResult down(double x, double y, long buttons = kLButton) {
    return mouse_.down(x, y, buttons);
  }
  void move(double x, double y, long buttons = kLButton) { mouse_.move(x, y, buttons); }
  void up(double x, double y, long buttons = 0) { mouse_.up(x, y, buttons); }

  gui_test::RegisteredImages images_;
  std::vector<std::string> names_;
  Trace trace_;
  CFrame frame_{CRect(0, 0, 400, 300), nullptr, &trace_};
  gui_test::FrameMouse mouse_{frame_};
};

}  // namespace controls_test
