// The knob's drags, default clicks, wheel and keys, as a user makes them.

#include "ControlsHarness.h"
#include "controls/CAnimKnob3.h"

namespace controls_test {
namespace {

class KnobGestures : public ControlsTest {
 protected:
  KnobGestures() {
    CBitmap* bitmap = strip(65);
    knob_ = new CAnimKnob3(CRect(100, 100, 120, 110), &trace_, 6, 65, kStripWidth, kFrameHeight,
                           bitmap, CPoint(100, 100));
    bitmap->forget();
    knob_->rangeZoom = 0.5;
    knob_->setShiftZoom(2.0);
    knob_->setDefaultValue(0.5f);
    frame_.addView(knob_);
    frame_.idle();
  }

  // The frame draws between events, as the host's idle does.
  void moveAndDraw(double x, double y, long buttons = kLButton) {
    move(x, y, buttons);
    frame_.idle();
  }

  // A drag from the knob's centre by (dx, dy) in `steps` moves.
  void drag(double dx, double dy, long buttons = kLButton, int steps = 10) {
    down(110, 105, buttons);
    for (int i = 1; i <= steps; ++i) move(110 + dx * i / steps, 105 + dy * i / steps, buttons);
    up(110 + dx, 105 + dy);
  }

  CAnimKnob3* knob_;
};

TEST_F(KnobGestures, TwoHundredFiftyPixelsUpOrFiveHundredRightCoverTheRange) {
  drag(0, -125);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.5f);
  knob_->setValue(0.0f);
  drag(0, -250);
  EXPECT_FLOAT_EQ(knob_->getValue(), 1.0f);
  knob_->setValue(0.0f);
  drag(500, 0);
  EXPECT_FLOAT_EQ(knob_->getValue(), 1.0f);
  drag(0, 300);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.0f) << "a drag past the end stops at the minimum";
}

TEST_F(KnobGestures, ShiftTakesTwiceAsFar) {
  knob_->setValue(0.0f);
  drag(0, -250, kLButton | kShift);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.5f);
  EXPECT_FALSE(knob_->isFineMode()) << "the release ends the fine drag";
}

TEST_F(KnobGestures, ShiftInTheMiddleOfADragKeepsTheValueAndSlowsWhatFollows) {
  knob_->setValue(0.0f);
  down(110, 105);
  move(110, 105 - 100);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.4f);
  move(110, 105 - 100, kLButton | kShift);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.4f);
  EXPECT_TRUE(knob_->isFineMode());
  move(110, 105 - 200, kLButton | kShift);
  EXPECT_NEAR(knob_->getValue(), 0.6f, 1e-6);
  move(110, 105 - 200, kLButton);
  move(110, 105 - 225, kLButton);
  EXPECT_NEAR(knob_->getValue(), 0.7f, 1e-6);
  up(110, 80);
}

TEST_F(KnobGestures, ADragIsOneGestureForTheHost) {
  knob_->setValue(0.0f);
  frame_.idle();
  down(110, 105);
  moveAndDraw(110, 80);
  moveAndDraw(110, 80);  // no movement: nothing to report
  moveAndDraw(110, 55);
  up(110, 55);
  EXPECT_EQ(trace_.take(), "begin 6; value 6=0.1; value 6=0.2; end 6");
}

TEST_F(KnobGestures, CommandClickAndDoubleClickSetTheDefaultInOneGesture) {
  knob_->setValue(0.9f);
  frame_.idle();
  EXPECT_EQ(down(110, 105, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.5f);
  EXPECT_EQ(trace_.take(), "begin 6; value 6=0.5; end 6");
  // No drag was started: moving now changes nothing.
  move(110, 0);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.5f);
  knob_->setValue(0.2f);
  frame_.idle();
  down(110, 105, kLButton | kDoubleClick);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.5f);
  EXPECT_EQ(trace_.take(), "begin 6; value 6=0.5; end 6");
  // At the default already: no change, so the host hears of no gesture.
  frame_.idle();
  down(110, 105, kLButton | kDoubleClick);
  EXPECT_EQ(trace_.take(), "");
}

TEST_F(KnobGestures, OtherButtonsAreNotTheKnobs) {
  EXPECT_EQ(down(110, 105, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(trace_.take(), "");
}

TEST_F(KnobGestures, WheelStepsAreAHundredthOrAThousandthWithShift) {
  CPoint where(110, 105);
  knob_->setValue(0.5f);
  EXPECT_TRUE(frame_.onWheel(where, 1.0f, 0));
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.51f);
  EXPECT_EQ(trace_.take(), "begin 6; value 6=0.51; end 6");
  frame_.onWheel(where, -1.0f, kShift);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.509f);
  knob_->setValue(0.995f);
  frame_.onWheel(where, 1.0f, 0);
  EXPECT_FLOAT_EQ(knob_->getValue(), 1.0f);
  trace_.take();
  frame_.idle();
  frame_.onWheel(where, 1.0f, 0);
  EXPECT_EQ(trace_.take(), "") << "at the end of the range nothing changes";
}

TEST_F(KnobGestures, ArrowKeysStepTheFocusedKnob) {
  down(110, 105, kLButton | kControl);  // takes the focus
  trace_.take();
  VstKeyCode up;
  up.virt = VKEY_UP;
  EXPECT_EQ(frame_.onKeyDown(up), 1);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.6f);
  VstKeyCode fineDown;
  fineDown.virt = VKEY_LEFT;
  fineDown.modifier = MODIFIER_SHIFT;
  frame_.onKeyDown(fineDown);
  EXPECT_FLOAT_EQ(knob_->getValue(), 0.59f);
  EXPECT_EQ(trace_.take(), "begin 6; value 6=0.6; end 6; begin 6; value 6=0.59; end 6");
  VstKeyCode letter;
  letter.character = 'a';
  EXPECT_EQ(frame_.onKeyDown(letter), -1);
}

}  // namespace
}  // namespace controls_test
