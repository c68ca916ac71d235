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

#include "effect/VendorRequests.h"
#include "support/TempFolder.h"
#include "x11/HostWindow.h"

namespace {

using EmbeddedEditor = tavola::test::HostWindowTest;

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
  const Atom eventProc = XInternAtom(display_, "_XEventProc", True);
  ASSERT_NE(eventProc, static_cast<Atom>(None));
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(display_, child_, eventProc, 0, 2, False, AnyPropertyType, &type, &format,
                     &items, &after, &data);
  EXPECT_EQ(format, 32);
  EXPECT_EQ(items, 1u);
  if (data) XFree(data);
  effect_->dispatch(effEditClose);
  XSync(display_, False);
  EXPECT_EQ(childCount(), 0);
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

  // The window shows exactly the frame's picture.
  tavola::test::TempFolder folder;
  std::string path = (folder.path() / "panel.png").string();
  ASSERT_EQ(effect_->dispatch(effVendorSpecific, tavola::kEditorPictureRequest, 0, path.data()), 1);
  idle();
  cairo_surface_t* picture = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
  const unsigned char* data = cairo_image_surface_get_data(picture);
  const int stride = cairo_image_surface_get_stride(picture);
  XImage* image = XGetImage(display_, child_, 0, 0, 720, 352, AllPlanes, ZPixmap);
  int differing = 0;
  for (int row = 0; row < 352; row += 3)
    for (int column = 0; column < 720; column += 3) {
      std::uint32_t argb;
      std::memcpy(&argb, data + row * stride + 4 * column, 4);
      if ((argb & 0xFFFFFF) != (XGetPixel(image, column, row) & 0xFFFFFF)) ++differing;
    }
  XDestroyImage(image);
  cairo_surface_destroy(picture);
  EXPECT_EQ(differing, 0);
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
