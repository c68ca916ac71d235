// The control's value: the change test that decides what idle draws, the range, the
// listener and the edit bracket that reaches the frame's editor.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/VSTGUIEditorInterface.h"

using namespace VSTGUI;

namespace {

struct Recorder : VSTGUIEditorInterface, CControlListener {
  void beginEdit(long tag) override { log += "begin(" + std::to_string(tag) + ") "; }
  void endEdit(long tag) override { log += "end(" + std::to_string(tag) + ") "; }
  long getKnobMode() const override { return 2; }
  void valueChanged(CControl* control) override {
    log += "changed(" + std::to_string(control->getValue()).substr(0, 4) + ") ";
  }
  std::string log;
};

TEST(Control, IsDirtyUntilItsValueIsDrawn) {
  CControl control(CRect(0, 0, 10, 10));
  EXPECT_TRUE(control.isDirty()) << "a new control is drawn once";
  control.setDirty(false);
  EXPECT_FALSE(control.isDirty());
  control.setValue(0.25f);
  EXPECT_TRUE(control.isDirty());
  EXPECT_EQ(control.getOldValue(), 0.0f);
  control.setDirty(false);
  control.setValue(0.25f);
  EXPECT_FALSE(control.isDirty()) << "the same value again changes nothing";
  control.setDirty(true);
  EXPECT_TRUE(control.isDirty()) << "forced";
  // A NaN from a host is drawn once, not at every idle.
  control.setValue(std::nanf(""));
  EXPECT_TRUE(control.isDirty());
  control.setDirty(false);
  EXPECT_FALSE(control.isDirty());
}

TEST(Control, BounceKeepsTheValueInItsRange) {
  CControl control(CRect(0, 0, 10, 10));
  control.setMin(-1.0f);
  for (const auto& [given, kept] :
       {std::pair{2.0f, 1.0f}, std::pair{-3.0f, -1.0f}, std::pair{0.5f, 0.5f},
        std::pair{std::nanf(""), -1.0f}, std::pair{-INFINITY, -1.0f}, std::pair{INFINITY, 1.0f}}) {
    control.setValue(given);
    control.bounceValue();
    EXPECT_EQ(control.getValue(), kept) << given;
  }
}

TEST(Control, ListenerAndEditBracketThroughTheFrame) {
  Recorder recorder;
  auto* control = new CControl(CRect(0, 0, 10, 10), &recorder, 15);
  control->beginEdit();  // off a frame: nobody to tell
  control->setValue(0.5f, true);
  control->setValue(0.5f, true);  // no change, no word
  control->setValue(0.75f, false);
  EXPECT_EQ(recorder.log, "changed(0.50) ");
  CFrame frame(CRect(0, 0, 20, 20), nullptr, &recorder);
  frame.addView(control);
  control->beginEdit();
  control->endEdit();
  EXPECT_EQ(recorder.log, "changed(0.50) begin(15) end(15) ");
}

}  // namespace
