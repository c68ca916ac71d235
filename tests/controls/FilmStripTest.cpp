// Each control shows the frame of its strip that its value calls for, pixel for pixel.

#include "ControlsHarness.h"
#include "controls/CAnimKnob3.h"
#include "controls/CLED.h"
#include "controls/CSaveLoadButton.h"
#include "controls/CZBKickButton.h"
#include "controls/CZBRockerSwitch.h"
#include "controls/CZEBOnOffButton.h"

namespace controls_test {
namespace {

using FilmStrip = ControlsTest;

TEST_F(FilmStrip, KnobOf65FramesRoundsItsValueToTheNearestFrame) {
  CBitmap* bitmap = strip(65);
  auto* knob =
      new CAnimKnob3(at(10, 10), &trace_, 6, 65, kStripWidth, kFrameHeight, bitmap, CPoint(10, 10));
  bitmap->forget();
  frame_.addView(knob);
  for (const auto& [value, expected] :
       {std::pair{0.0f, 0}, {0.49f, 31}, {0.5f, 32}, {1.0f, 64}, {-0.5f, 0}, {1.5f, 64}}) {
    knob->setValue(value);
    EXPECT_EQ(shownFrame(*knob), expected) << "value " << value;
  }
  // Every pixel of the knob's rectangle is the frame's, not just the centre.
  knob->setValue(0.49f);
  frame_.idle();
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 30; ++x) ASSERT_EQ(gui_test::pixel(frame_, x, y), frameColour(31));
}

TEST_F(FilmStrip, SteppedKnobShowsTheStepInUseNotTheNearestFrame) {
  // As the effect picks a frequency: step trunc(12 x value), the last one only at 1.
  CBitmap* bitmap = strip(13);
  auto* knob = new CAnimKnob3(at(10, 10), &trace_, 25, 13, kStripWidth, kFrameHeight, bitmap,
                              CPoint(10, 10));
  bitmap->forget();
  knob->setFramePick(CAnimKnob3::FramePick::kStepInUse);
  frame_.addView(knob);
  for (const auto& [value, expected] : {std::pair{0.0f, 0},
                                        {0.08f, 0},
                                        {0.0834f, 1},
                                        {0.56f, 6},
                                        {0.5f, 6},
                                        {0.999f, 11},
                                        {1.0f, 12},
                                        {1.5f, 12}}) {
    knob->setValue(value);
    EXPECT_EQ(shownFrame(*knob), expected) << "value " << value;
  }
}

TEST_F(FilmStrip, LampShowsOffHeldAndLit) {
  CBitmap* bitmap = strip(3);
  auto* lamp = new CLED(at(50, 10), &trace_, 64, bitmap);
  bitmap->forget();
  frame_.addView(lamp);
  for (const auto& [value, expected] :
       {std::pair{0.0f, 0}, {0.4999f, 0}, {0.5f, 1}, {0.5001f, 2}, {1.0f, 2}}) {
    lamp->setValue(value);
    EXPECT_EQ(shownFrame(*lamp), expected) << "value " << value;
  }
}

TEST_F(FilmStrip, LampRedrawsOnlyAfterAChange) {
  CBitmap* bitmap = strip(3);
  auto* lamp = new CLED(at(50, 10), &trace_, 64, bitmap);
  bitmap->forget();
  frame_.addView(lamp);
  frame_.idle();
  lamp->setValue(1.0f);
  EXPECT_TRUE(lamp->isDirty());
  frame_.idle();
  EXPECT_TRUE(lamp->isDirty()) << "drawing leaves the change test alone";
  lamp->setValue(1.0f);
  EXPECT_FALSE(lamp->isDirty());
  EXPECT_FALSE(lamp->getHold());
  lamp->setValue(0.5f);
  EXPECT_TRUE(lamp->getHold());
}

TEST_F(FilmStrip, OnOffSwitchIsOnFromAHalf) {
  CBitmap* bitmap = strip(2);
  auto* button = new CZEBOnOffButton(at(80, 10), &trace_, 7, bitmap, 0);
  bitmap->forget();
  frame_.addView(button);
  button->setValue(0.49f);
  EXPECT_EQ(shownFrame(*button), 0);
  button->setValue(0.5f);
  EXPECT_EQ(shownFrame(*button), 1);
}

TEST_F(FilmStrip, RockerShowsIdleHoverAndPressedFrames) {
  CBitmap* bitmap = strip(5);
  auto* rocker = new CZBRockerSwitch(at(120, 10), &trace_, 93, kFrameHeight, bitmap, CPoint(7, 7),
                                     kHorizontal);
  bitmap->forget();
  frame_.addView(rocker);
  EXPECT_EQ(shownFrame(*rocker), 0);
  move(122, 15, 0);
  EXPECT_EQ(shownFrame(*rocker), 1);
  move(135, 15, 0);
  EXPECT_EQ(shownFrame(*rocker), 2);
  move(122, 15, 0);
  down(122, 15);
  EXPECT_EQ(shownFrame(*rocker), 3);
  up(122, 15);
  EXPECT_EQ(shownFrame(*rocker), 1) << "the pointer is still on the left half";
  down(130, 15);
  EXPECT_EQ(shownFrame(*rocker), 4) << "the middle counts as right";
  up(130, 15);
  move(300, 200, 0);
  EXPECT_EQ(shownFrame(*rocker), 0);
  EXPECT_EQ(trace_.take(), "value 93=-1; value 93=1");
}

TEST_F(FilmStrip, KickButtonsShowHoverAndPressFromTheirOffset) {
  CBitmap* kickStrip = strip(5);
  // Frames 2 to 4 of the strip, through the offset.
  auto* kick = new CZBKickButton(at(160, 10), &trace_, 107, kFrameHeight, kickStrip,
                                 CPoint(0, 2 * kFrameHeight), false);
  auto* file = new CSaveLoadButton(at(200, 10), &trace_, 96, kFrameHeight, kickStrip, CPoint(0, 0));
  kickStrip->forget();
  frame_.addView(kick);
  frame_.addView(file);
  EXPECT_EQ(shownFrame(*kick), 2);
  move(165, 15, 0);
  EXPECT_EQ(shownFrame(*kick), 3);
  down(165, 15);
  EXPECT_EQ(shownFrame(*kick), 4);
  up(165, 15);
  EXPECT_EQ(shownFrame(*kick), 3);
  move(205, 15, 0);
  EXPECT_EQ(shownFrame(*kick), 2);
  EXPECT_EQ(shownFrame(*file), 1);
  EXPECT_EQ(trace_.take(), "value 107=1");
}

}  // namespace
}  // namespace controls_test
