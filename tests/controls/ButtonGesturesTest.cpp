// The switches, buttons, rocker, lamp and about view under the mouse.

#include <chrono>

#include "ControlsHarness.h"
#include "controls/CAbout.h"
#include "controls/CLED.h"
#include "controls/CSaveLoadButton.h"
#include "controls/CSplashScreenMyView.h"
#include "controls/CZBKickButton.h"
#include "controls/CZBRockerSwitch.h"
#include "controls/CZEBOnOffButton.h"

namespace controls_test {
namespace {

using ButtonGestures = ControlsTest;

TEST_F(ButtonGestures, OnOffSwitchTurnsOverInItsOwnBracket) {
  CBitmap* bitmap = strip(2);
  auto* button = new CZEBOnOffButton(at(10, 10), &trace_, 7, bitmap, 3);
  bitmap->forget();
  frame_.addView(button);
  button->setValue(0.5f);
  EXPECT_EQ(down(15, 15), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(trace_.take(), "begin 7; value 7=0; end 7");
  button->setValue(0.49f);
  down(15, 15, kLButton | kShift | kControl);
  EXPECT_EQ(trace_.take(), "begin 7; value 7=1; end 7");
  EXPECT_EQ(down(15, 15, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(button->getStyle(), 3);
}

TEST_F(ButtonGestures, DoubleClickButtonIgnoresSingleClicks) {
  CBitmap* bitmap = strip(3);
  auto* kick = new CZBKickButton(at(10, 10), &trace_, 105, kFrameHeight, bitmap, CPoint(), true);
  bitmap->forget();
  frame_.addView(kick);
  down(15, 15);
  up(15, 15);
  EXPECT_EQ(trace_.take(), "");
  down(15, 15, kLButton | kDoubleClick);
  EXPECT_TRUE(kick->isPressed());
  up(15, 15);
  EXPECT_FALSE(kick->isPressed());
  down(15, 15, kLButton | kDoubleClick | kControl);
  up(15, 15);
  EXPECT_EQ(trace_.take(), "value 105=1; value 105=0.5");
}

TEST_F(ButtonGestures, FileButtonTellsARightClickFromALeftOne) {
  CBitmap* bitmap = strip(3);
  auto* file = new CSaveLoadButton(at(10, 10), &trace_, 96, kFrameHeight, bitmap, CPoint());
  bitmap->forget();
  frame_.addView(file);
  down(15, 15, kRButton);
  down(15, 15, kRButton | kShift);
  down(15, 15, kLButton);
  EXPECT_EQ(trace_.take(), "value 96=0.5; value 96=1; value 96=1");
  EXPECT_EQ(down(15, 15, kMButton), kMouseEventNotHandled);
  EXPECT_FLOAT_EQ(file->getValue(), 0.0f);
  VstKeyCode enter;
  enter.virt = VKEY_RETURN;
  EXPECT_EQ(file->onKeyDown(enter), -1);
}

TEST_F(ButtonGestures, RockerWheelStepSpringsBackAtAnIdleAfter200Milliseconds) {
  struct Rocker : CZBRockerSwitch {
    using CZBRockerSwitch::CZBRockerSwitch;
    Clock::time_point now() const override { return clock; }
    Clock::time_point clock{};
  };
  CBitmap* bitmap = strip(5);
  auto* rocker = new Rocker(at(10, 10), &trace_, 93, kFrameHeight, bitmap, CPoint(), kHorizontal);
  bitmap->forget();
  frame_.addView(rocker);
  CPoint where(15, 15);
  frame_.onWheel(where, 1.0f, 0);
  EXPECT_FLOAT_EQ(rocker->getValue(), -1.0f);
  rocker->clock += std::chrono::milliseconds(199);
  frame_.idle();
  EXPECT_FLOAT_EQ(rocker->getValue(), -1.0f);
  rocker->clock += std::chrono::milliseconds(1);
  frame_.idle();
  EXPECT_FLOAT_EQ(rocker->getValue(), 0.0f);
  frame_.onWheel(where, -1.0f, 0);
  rocker->clock += std::chrono::milliseconds(300);
  frame_.idle();
  EXPECT_EQ(trace_.take(),
            "begin 93; value 93=-1; value 93=0; end 93; begin 93; value 93=1; "
            "value 93=0; end 93");
}

TEST_F(ButtonGestures, LampIsClearedOnlyByALeftClick) {
  CBitmap* bitmap = strip(3);
  auto* lamp = new CLED(at(10, 10), &trace_, 64, bitmap);
  bitmap->forget();
  frame_.addView(lamp);
  lamp->setValue(0.5f);
  EXPECT_EQ(down(15, 15, kRButton), kMouseEventNotHandled);
  EXPECT_TRUE(lamp->getHold());
  EXPECT_EQ(down(15, 15), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_FLOAT_EQ(lamp->getValue(), 0.0f);
  EXPECT_EQ(trace_.take(), "value 64=0");
  EXPECT_TRUE(lamp->isTypeOf("CLED") && lamp->isTypeOf("CControl") && lamp->isTypeOf("CView"));
}

class AboutView : public ControlsTest {
 protected:
  AboutView() {
    CBitmap* picture = strip(2);
    about_ = new CAbout(CRect(100, 200, 200, 220), &trace_, 61, picture, CRect(0, 0, 20, 20),
                        CPoint(0, 0), CPoint(384, 100));
    picture->forget();
    frame_.addView(about_);
    CBitmap* bitmap = strip(2);
    button_ = new CZEBOnOffButton(at(300, 100), &trace_, 7, bitmap);
    bitmap->forget();
    frame_.addView(button_);
  }
  CAbout* about_;
  CZEBOnOffButton* button_;
};

TEST_F(AboutView, OpensOnALeftClickAndSwallowsClicksOutsideIt) {
  EXPECT_EQ(down(150, 210, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(frame_.getModalView(), nullptr);
  down(150, 210);
  ASSERT_NE(frame_.getModalView(), nullptr);
  EXPECT_TRUE(frame_.getModalView()->isTypeOf("CSplashScreenMyView"));
  EXPECT_STREQ(static_cast<CSplashScreenMyView*>(frame_.getModalView())->getVersion(), "1.8.0");
  EXPECT_FLOAT_EQ(about_->getValue(), 1.0f);
  EXPECT_EQ(trace_.take(), "value 61=1");

  EXPECT_EQ(down(305, 105), kMouseEventNotHandled);
  EXPECT_FLOAT_EQ(button_->getValue(), 0.0f) << "the switch under the click heard nothing";
  down(5, 5, kRButton);
  EXPECT_NE(frame_.getModalView(), nullptr) << "a right click leaves it open";

  down(5, 5);
  EXPECT_EQ(frame_.getModalView(), nullptr);
  EXPECT_FLOAT_EQ(about_->getValue(), 0.0f);
  EXPECT_EQ(trace_.take(), "") << "closing is not reported";
  down(305, 105);
  EXPECT_FLOAT_EQ(button_->getValue(), 1.0f);
}

TEST_F(AboutView, ShowsThePictureWithTheVersionOverThePanel) {
  down(150, 210);
  frame_.idle();
  EXPECT_EQ(gui_test::pixel(frame_, 2, 2), frameColour(0));
}

TEST_F(AboutView, ARefusedViewLeavesNothingOpen) {
  auto* other = new CView(CRect(0, 0, 10, 10));
  ASSERT_TRUE(frame_.setModalView(other));
  // The other modal view takes the frame's clicks; the about area is clicked directly.
  CPoint where(150, 210);
  about_->onMouseDown(where, kLButton);
  EXPECT_EQ(frame_.getModalView(), other);
  EXPECT_FLOAT_EQ(about_->getValue(), 0.0f);
  EXPECT_EQ(trace_.take(), "");
}

TEST_F(AboutView, ClosingTheFrameWithTheViewOpenLeavesNothingBehind) {
  down(150, 210);
  frame_.close();
  EXPECT_EQ(frame_.getNbViews(), 0);
}

}  // namespace
}  // namespace controls_test
