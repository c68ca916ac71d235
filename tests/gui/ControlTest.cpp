// The control's value: the change test that decides what idle draws, the range, the
// listener and the edit bracket that reaches the frame's editor; the splash screen's
// picture; and the lines of an alert's text.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui/AlertText.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/CParamDisplay.h"
#include "gui/CSplashScreen.h"
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
  // One gesture at a time: a second begin and an end without a begin are not sent, and a
  // gesture still open when the control leaves the frame ends then.
  recorder.log.clear();
  control->beginEdit();
  control->beginEdit();
  control->endEdit();
  control->endEdit();
  control->beginEdit();
  frame.removeView(control, false);
  EXPECT_EQ(recorder.log, "begin(15) end(15) begin(15) end(15) ");
  control->forget();
}

TEST(Control, AParamDisplayTellsTheValueItKeeps) {
  Recorder recorder;
  CParamDisplay display(CRect(0, 0, 10, 10));
  display.setListener(&recorder);
  display.setMax(10.0f);
  display.setValue(25.0f, true);
  EXPECT_EQ(display.getValue(), 10.0f);
  EXPECT_EQ(recorder.log, "changed(10.0) ");
}

TEST(Control, ASplashScreenLeavingTheFrameTakesItsPictureOff) {
  Recorder recorder;
  CFrame frame(CRect(0, 0, 200, 100), nullptr, &recorder);
  auto* splash =
      new CSplashScreen(CRect(0, 0, 20, 20), &recorder, 61, nullptr, CRect(50, 0, 150, 100));
  frame.addView(splash);
  CPoint where(10, 10);
  frame.onMouseDown(where, kLButton);
  ASSERT_NE(frame.getModalView(), nullptr);
  frame.removeView(splash);
  EXPECT_EQ(frame.getModalView(), nullptr);
  // Where the picture was, a click reaches nothing that is gone.
  CPoint onPicture(100, 50);
  EXPECT_EQ(frame.onMouseDown(onPicture, kLButton), kMouseEventNotHandled);
}

TEST(AlertText, ALongPathBreaksIntoLinesThatFitAndLosesNothing) {
  std::string path = "Cannot find zenity or kdialog in ";
  for (int i = 0; i < 12; ++i)
    path += "/usr/local/lib/very-long-folder-name-" + std::to_string(i) + ":";
  const std::vector<std::string> lines = alertTextLines(path);
  ASSERT_GT(lines.size(), 3u);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(alertTextWidthOf(line), kAlertTextWidth) << line;
    joined += line + " ";
  }
  // Only the spaces where lines broke between words may differ.
  std::string original = path + " ";
  std::erase(original, ' ');
  std::erase(joined, ' ');
  EXPECT_EQ(joined, original);
  // A text of a hundred lines shows the first ones and says there is more.
  std::string many;
  for (int i = 0; i < 100; ++i) many += "line " + std::to_string(i) + "\n";
  const std::vector<std::string> shown = alertTextLines(many);
  EXPECT_EQ(shown.size(), kAlertMostLines);
  EXPECT_EQ(shown.back(), "...");
}

}  // namespace
