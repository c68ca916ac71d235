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
#include "vsthost/HostedEffect.h"
#include "vsthost/PluginLibrary.h"

namespace {

const PluginLibrary& pluginLibrary() {
  static const PluginLibrary library(TAVOLA_PLUGIN_PATH);
  return library;
}

class EmbeddedEditor : public testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    if (!display_) GTEST_SKIP() << "no X display (the test script starts Xvfb)";
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 720, 352, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);
    std::string error;
    effect_ = HostedEffect::create(pluginLibrary(), &error);
    ASSERT_TRUE(effect_) << error;
    effect_->setSampleRate(44100.0f);
    effect_->resume();
  }
  void TearDown() override {
    effect_.reset();
    if (display_) {
      if (parent_) XDestroyWindow(display_, parent_);
      XCloseDisplay(display_);
    }
  }

  void open() {
    ASSERT_EQ(effect_->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    child_ = onlyChild();
    ASSERT_NE(child_, 0u);
    idle();
  }
  Window onlyChild() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display_, parent_, &root, &parent, &children, &count);
    const Window child = count == 1 ? children[0] : 0;
    if (children) XFree(children);
    return child;
  }
  int childCount() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display_, parent_, &root, &parent, &children, &count);
    if (children) XFree(children);
    return static_cast<int>(count);
  }
  // The host's idle, a few times, with time for the server to pass the events on.
  void idle(int times = 3) {
    for (int i = 0; i < times; ++i) {
      XSync(display_, False);
      usleep(2000);
      effect_->dispatch(effEditIdle);
    }
  }

  void button(int type, int x, int y, unsigned int number, unsigned int state, Time time) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.display = display_;
    event.xbutton.window = child_;
    event.xbutton.root = DefaultRootWindow(display_);
    event.xbutton.time = time;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.state = state;
    event.xbutton.button = number;
    event.xbutton.same_screen = True;
    XSendEvent(display_, child_, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
               &event);
  }
  void motion(int x, int y, unsigned int state) {
    XEvent event{};
    event.xmotion.type = MotionNotify;
    event.xmotion.display = display_;
    event.xmotion.window = child_;
    event.xmotion.root = DefaultRootWindow(display_);
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.state = state;
    event.xmotion.same_screen = True;
    XSendEvent(display_, child_, True, PointerMotionMask, &event);
  }
  void click(int x, int y, Time time = 1000, unsigned int number = Button1,
             unsigned int modifiers = 0) {
    button(ButtonPress, x, y, number, modifiers, time);
    button(ButtonRelease, x, y, number, modifiers | Button1Mask, time + 20);
    idle();
  }

  // The window's pixel, 0xRRGGBB.
  std::uint32_t windowPixel(int x, int y) {
    XImage* image = XGetImage(display_, child_, x, y, 1, 1, AllPlanes, ZPixmap);
    const std::uint32_t value = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return value;
  }

  Display* display_ = nullptr;
  Window parent_ = 0;
  Window child_ = 0;
  std::unique_ptr<HostedEffect> effect_;
};

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
