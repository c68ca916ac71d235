// The effect's panel, opened off screen on a real effect: what the user's gestures send to
// the host, how host changes reach the controls, the clip lamp and the latency read-outs.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "controls/CAbout.h"
#include "controls/CAnimKnob3.h"
#include "controls/CLED.h"
#include "editor/ADEditor.h"
#include "editor/RecordingHost.h"
#include "effect/Tavola.h"
#include "gui/CFrame.h"
#include "gui/CParamDisplay.h"
#include "platform/DiagnosticWriter.h"
#include "resources/PanelLayout.h"

namespace {

using namespace VSTGUI;
using editor_test::hostTrace;
using editor_test::recordingHost;

class EditorPanel : public testing::Test {
 protected:
  EditorPanel() {
    effect_ = std::make_unique<Tavola>(recordingHost);
    editor_ = effect_->panel();
    EXPECT_TRUE(editor_->open(nullptr));
    editor_->idle();
    hostTrace().clear();
  }
  ~EditorPanel() override { editor_->close(); }

  CFrame& frame() { return *editor_->getFrame(); }
  CControl& control(long tag) { return *editor_->controlForTag(tag); }
  CPoint centreOf(long tag) {
    const CRect& size = control(tag).getViewSize();
    return CPoint(size.left + size.width() / 2, size.top + size.height() / 2);
  }
  void click(long tag, long buttons = kLButton) {
    CPoint where = centreOf(tag);
    frame().onMouseDown(where, buttons);
    frame().onMouseUp(where, buttons & ~kLButton);
  }
  std::string takeTrace() { return editor_test::takeHostTrace(); }

  std::unique_ptr<Tavola> effect_;
  ADEditor* editor_ = nullptr;
};

TEST_F(EditorPanel, ControlsSitWhereThePanelDrawsThemWithTheEffectsValues) {
  ERect* rect = nullptr;
  ASSERT_TRUE(editor_->getRect(&rect));
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 352);
  EXPECT_EQ(rect->right, 720);
  EXPECT_EQ(frame().getViewSize(), CRect(0, 0, 720, 352));
  EXPECT_EQ(control(6).getViewSize(), CRect(594, 206, 594 + 88, 206 + 88));
  EXPECT_EQ(control(9).getViewSize(), CRect(56, 206, 56 + 42, 206 + 42));
  EXPECT_EQ(control(7).getViewSize(), CRect(622, 92, 622 + 24, 92 + 14));
  EXPECT_EQ(control(64).getViewSize(), CRect(630, 46, 646, 62));
  EXPECT_EQ(control(61).getViewSize(), CRect(286, 306, 436, 328));
  for (int tag : {0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27})
    EXPECT_FLOAT_EQ(control(tag).getValue(), effect_->getParameter(tag)) << "tag " << tag;
  EXPECT_FLOAT_EQ(control(9).getDefaultValue(), 0.0f);
  EXPECT_FLOAT_EQ(control(15).getDefaultValue(), 0.5f);
  EXPECT_DOUBLE_EQ(static_cast<CAnimKnob3&>(control(13)).rangeZoom, 0.25);
  EXPECT_DOUBLE_EQ(static_cast<CAnimKnob3&>(control(6)).getShiftZoom(), 2.0);
}

TEST_F(EditorPanel, AClickOnSatAutomatesItInsideOneGesture) {
  click(7);
  EXPECT_EQ(takeTrace(), "begin 7; set 7=1; end 7");
  EXPECT_FLOAT_EQ(effect_->getParameter(7), 1.0f);
}

TEST_F(EditorPanel, AKnobDragAutomatesEveryStepBetweenBeginAndEnd) {
  CPoint where = centreOf(15);
  frame().onMouseDown(where, kLButton);
  for (int step = 1; step <= 5; ++step) {
    CPoint to(where.x, where.y - 25 * step);
    frame().onMouseMoved(to, kLButton);
    editor_->idle();
  }
  CPoint end(where.x, where.y - 125);
  frame().onMouseUp(end, 0);
  // 125 pixels up of the 250 that cover the range.
  EXPECT_FLOAT_EQ(effect_->getParameter(15), 1.0f);
  EXPECT_EQ(takeTrace(),
            "begin 15; set 15=0.6; set 15=0.7; set 15=0.8; set 15=0.9; set 15=1; "
            "end 15");
}

TEST_F(EditorPanel, HostChangesReachTheControlsAtTheNextIdleAndGoNoFurther) {
  effect_->setParameter(25, 0.567f);
  effect_->setParameter(27, 0.567f);
  effect_->setParameter(40, 0.3f);
  EXPECT_FLOAT_EQ(control(25).getValue(), 0.5f) << "nothing touches a control before the idle";
  editor_->idle();
  EXPECT_FLOAT_EQ(control(25).getValue(), 0.56f);
  EXPECT_FLOAT_EQ(control(27).getValue(), 0.567f);
  EXPECT_EQ(takeTrace(), "") << "a host change is never sent back as automation";
}

TEST_F(EditorPanel, HostChangesFromAnotherThreadAreAppliedByTheIdle) {
  std::thread automation([this] {
    for (int i = 0; i <= 1000; ++i) effect_->setParameter(6, i / 1000.0f);
  });
  for (int i = 0; i < 200; ++i) editor_->idle();
  automation.join();
  editor_->idle();
  EXPECT_FLOAT_EQ(control(6).getValue(), 1.0f);
}

TEST_F(EditorPanel, EqAllRefreshesBothLatencyReadOuts) {
  effect_->setSampleRate(96000.0f);
  effect_->resume();
  effect_->suspend();
  editor_->idle();
  char ms[256], samples[256];
  editor_->latencyMsDisplay()->getDisplayText(ms);
  editor_->latencySamplesDisplay()->getDisplayText(samples);
  EXPECT_FLOAT_EQ(editor_->latencySamplesDisplay()->getValue(), effect_->getLatency2());
  effect_->setParameter(0, 0.0f);
  editor_->idle();
  EXPECT_FLOAT_EQ(control(0).getValue(), 0.0f);
  EXPECT_FLOAT_EQ(editor_->latencyMsDisplay()->getValue(), effect_->getLatency1());
  EXPECT_FLOAT_EQ(editor_->latencySamplesDisplay()->getValue(), effect_->getLatency2());
}

TEST_F(EditorPanel, ClipLampLightsThenHoldsUntilALeftClick) {
  auto& lamp = static_cast<CLED&>(control(64));
  effect_->panelMeters().peakLevel.store(1.0);
  editor_->idle();
  EXPECT_FLOAT_EQ(lamp.getValue(), 1.0f);
  EXPECT_DOUBLE_EQ(effect_->peakLevel(), 0.0);
  editor_->idle();
  EXPECT_FLOAT_EQ(lamp.getValue(), 0.5f);
  editor_->idle();
  EXPECT_TRUE(lamp.getHold());

  click(64, kRButton);
  editor_->idle();
  EXPECT_TRUE(lamp.getHold()) << "a right click leaves the lamp held";
  click(64);
  EXPECT_DOUBLE_EQ(effect_->clipState(), 0.0);
  editor_->idle();
  EXPECT_FLOAT_EQ(lamp.getValue(), 0.0f);
  EXPECT_EQ(takeTrace(), "") << "the lamp is no parameter";
}

TEST_F(EditorPanel, WhileTheAboutViewIsOpenTheLampWaitsButTheClipStateGoesOn) {
  click(61);
  ASSERT_NE(frame().getModalView(), nullptr);
  effect_->panelMeters().peakLevel.store(2.0);
  editor_->idle();
  EXPECT_DOUBLE_EQ(effect_->clipState(), 1.0);
  EXPECT_FLOAT_EQ(control(64).getValue(), 0.0f);
  // A click on the panel's switches reaches nothing; one on the about view closes it.
  click(7);
  EXPECT_EQ(takeTrace(), "");
  CPoint inside(10, 10);
  frame().onMouseDown(inside, kLButton);
  EXPECT_EQ(frame().getModalView(), nullptr);
  editor_->idle();
  EXPECT_FLOAT_EQ(control(64).getValue(), 0.5f);
}

TEST_F(EditorPanel, CloseForgetsTheControlsAndHostChangesThenDoNothing) {
  editor_->close();
  EXPECT_EQ(editor_->getFrame(), nullptr);
  EXPECT_EQ(editor_->controlForTag(6), nullptr);
  effect_->setParameter(6, 0.2f);
  effect_->resume();
  editor_->idle();
  EXPECT_TRUE(editor_->open(nullptr));
  EXPECT_FLOAT_EQ(control(6).getValue(), 0.2f);
}

}  // namespace
