// The built plug-in's editor embedded in a host window on a real X server (the test
// script starts Xvfb): real X events in, real pixels out, as a DAW on Linux sees it.
// The host side here has a connection of its own, as a DAW has.

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <vector>

#include "x11/HostWindow.h"

namespace {

using EmbeddedEditor = tavola::test::HostWindowTest;

// The event procedure as a host reads it back: the property's bytes as the server keeps
// them, whatever their format, taken as a pointer when they are as many as one has.
using EventProcedure = void (*)(XEvent*);
EventProcedure readEventProcedure(Display* display, Window window) {
  const Atom eventProc = XInternAtom(display, "_XEventProc", True);
  if (eventProc == static_cast<Atom>(None)) return nullptr;
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, eventProc, 0, 4, False, AnyPropertyType, &type, &format,
                         &items, &after, &data) != Success)
    return nullptr;
  std::vector<unsigned char> bytes;
  for (unsigned long i = 0; i < items; ++i) {
    if (format == 8) bytes.push_back(data[i]);
    if (format == 32) {
      // Xlib hands 32-bit items over in longs; the server kept 32 bits of each.
      const auto item = static_cast<std::uint32_t>(reinterpret_cast<unsigned long*>(data)[i]);
      for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<unsigned char>(item >> (8 * b)));
    }
  }
  if (data) XFree(data);
  EventProcedure procedure = nullptr;
  if (bytes.size() != sizeof procedure) return nullptr;
  std::memcpy(&procedure, bytes.data(), sizeof procedure);
  return procedure;
}

TEST_F(EmbeddedEditor, OpensAChildOfTheHostsWindowThatPublishesItsEventProcedure) {
  ERect* rect = nullptr;
  ASSERT_EQ(effect_->dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 720);
  EXPECT_EQ(rect->bottom - rect->top, 352);
  open();
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, child_, &attributes);
  EXPECT_EQ(attributes.width, 720);
  EXPECT_EQ(attributes.height, 352);
  EXPECT_EQ(attributes.map_state, IsViewable);
  effect_->dispatch(effEditClose);
  XSync(display_, False);
  EXPECT_EQ(childCount(), 0);
}

TEST_F(EmbeddedEditor, AHostThatForwardsEventsThroughTheEventProcedureReachesThePanel) {
  open();
  const EventProcedure procedure = readEventProcedure(display_, child_);
  ASSERT_NE(procedure, nullptr) << "the property does not hold a whole pointer";
  effect_->log().clear();
  XEvent event{};
  event.xbutton.type = ButtonPress;
  event.xbutton.display = display_;
  event.xbutton.window = child_;
  event.xbutton.x = 622 + 12;
  event.xbutton.y = 92 + 7;
  event.xbutton.button = Button1;
  event.xbutton.time = 1000;
  procedure(&event);
  event.xbutton.type = ButtonRelease;
  event.xbutton.state = Button1Mask;
  procedure(&event);
  idle();
  EXPECT_EQ(effect_->log().gestureTrace(), "begin 7; set 7=1; end 7");
}

TEST_F(EmbeddedEditor, AHostWindowOfA32BitVisualShowsThePanel) {
  ASSERT_TRUE(useArgbParent()) << "the X server has no 32-bit visual";
  open();
  idle();
  EXPECT_EQ(pixelsDifferingFromThePicture(), 0);
  effect_->log().clear();
  click(622 + 12, 92 + 7);
  EXPECT_EQ(effect_->log().gestureTrace(), "begin 7; set 7=1; end 7");
}

TEST_F(EmbeddedEditor, OpenedInAnotherWindowWhileOpenThePanelMovesThere) {
  open();
  const Window first = parent_;
  parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 720, 352, 0, 0, 0);
  XMapWindow(display_, parent_);
  XSync(display_, False);
  open();
  EXPECT_EQ(pixelsDifferingFromThePicture(), 0);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(display_, first, &root, &parent, &children, &count);
  if (children) XFree(children);
  EXPECT_EQ(count, 0u) << "the first window keeps a panel";
  XDestroyWindow(display_, first);
}

TEST_F(EmbeddedEditor, TwoQuickDragsInOneIdleKeepTheirOwnMoves) {
  open();
  effect_->log().clear();
  // Two knobs dragged 50 pixels up each, all before the host's next idle.
  const int lowX = 153 + 44, lowY = 55 + 44;    // the low band's gain
  const int highX = 451 + 44, highY = 55 + 44;  // the high band's
  fakeMoveTo(lowX, lowY);
  fakeButton(Button1, true);
  fakeMoveTo(lowX, lowY - 50);
  fakeButton(Button1, false);
  fakeMoveTo(highX, highY);
  fakeButton(Button1, true);
  fakeMoveTo(highX, highY - 50);
  fakeButton(Button1, false);
  XSync(display_, False);
  usleep(20000);
  effect_->dispatch(effEditIdle);
  idle();
  // 50 of the 250 pixels that cover each range.
  EXPECT_FLOAT_EQ(effect_->getParameter(15), 0.7f);
  EXPECT_FLOAT_EQ(effect_->getParameter(27), 0.7f);
  const std::string trace = effect_->log().gestureTrace();
  EXPECT_EQ(trace, "begin 15; set 15=0.7; end 15; begin 27; set 27=0.7; end 27");
}

TEST_F(EmbeddedEditor, ClosedMidDragTheGestureEnds) {
  open();
  effect_->log().clear();
  realMove(153 + 44, 55 + 44);
  realButton(Button1, true);
  realMove(153 + 44, 55 + 19);
  effect_->dispatch(effEditClose);
  realButton(Button1, false);
  EXPECT_EQ(effect_->log().gestureTrace(), "begin 15; set 15=0.6; end 15");
}

TEST_F(EmbeddedEditor, ClickOnSatAutomatesItBetweenBeginAndEndEdit) {
  open();
  effect_->log().clear();
  click(622 + 12, 92 + 7);
  EXPECT_EQ(effect_->log().gestureTrace(), "begin 7; set 7=1; end 7");
  EXPECT_FLOAT_EQ(effect_->getParameter(7), 1.0f);
}

TEST_F(EmbeddedEditor, KnobDragWheelAndDoubleClickAsAUserMakesThem) {
  open();
  effect_->log().clear();
  const int x = 153 + 44, y = 55 + 44;  // the low band's gain
  button(ButtonPress, x, y, Button1, 0, 1000);
  for (int step = 1; step <= 5; ++step) {
    motion(x, y - 25 * step, Button1Mask);
    idle(1);
  }
  button(ButtonRelease, x, y - 125, Button1, Button1Mask, 1500);
  idle();
  EXPECT_FLOAT_EQ(effect_->getParameter(15), 1.0f);
  const std::string trace = effect_->log().gestureTrace();
  EXPECT_EQ(trace.rfind("begin 15; set 15=", 0), 0u) << trace;
  EXPECT_EQ(trace.substr(trace.size() - 6), "end 15") << trace;

  // Two presses 100 ms apart: the default, 0 dB.
  click(x, y, 3000);
  click(x, y, 3100);
  EXPECT_FLOAT_EQ(effect_->getParameter(15), 0.5f);

  // A wheel step down, with presses 1 second apart so they make no double click.
  click(x, y, 6000, Button5);
  EXPECT_FLOAT_EQ(effect_->getParameter(15), 0.49f);
}

TEST_F(EmbeddedEditor, TheWindowShowsWhatTheFrameDrewAndFollowsTheHost) {
  open();
  const int x = 153 + 44, y = 55 + 12;  // on the low gain knob's pointer at 0 dB
  const std::uint32_t before = windowPixel(x, y);
  effect_->setParameter(15, 0.0f);
  idle();
  EXPECT_NE(windowPixel(x, y), before) << "the host's change shows after an idle";
  EXPECT_EQ(pixelsDifferingFromThePicture(), 0);
}

TEST_F(EmbeddedEditor, AHostThatDestroysItsWindowFirstDoesNotLoseItsConnection) {
  open();
  XDestroyWindow(display_, parent_);
  parent_ = 0;
  XSync(display_, False);
  effect_->dispatch(effEditIdle);
  effect_->dispatch(effEditClose);
  // Both connections are alive: the host's answers, and the editor opens again.
  parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 720, 352, 0, 0, 0);
  XMapWindow(display_, parent_);
  XSync(display_, False);
  open();
  effect_->dispatch(effEditClose);
}

TEST_F(EmbeddedEditor, OpensAndClosesFiftyTimes) {
  for (int i = 0; i < 50; ++i) {
    open();
    if (i % 5 == 0) click(286 + 50, 306 + 10);  // the about view left open at close
    effect_->dispatch(effEditClose);
  }
  XSync(display_, False);
  EXPECT_EQ(childCount(), 0);
}

}  // namespace
