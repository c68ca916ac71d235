#pragma once
// A host's side of an embedded editor on a real X server: a top-level window of the host's
// own connection that the built plug-in's editor opens in, the host's idle, synthetic
// events sent to the editor's window, and reading back the window's pixels.

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "host/VendorRequests.h"
#include "support/TempFolder.h"

#include "vsthost/HostedEffect.h"
#include "vsthost/PluginLibrary.h"

namespace tavola::test {

inline const PluginLibrary& pluginLibrary() {
  static const PluginLibrary library(TAVOLA_PLUGIN_PATH);
  return library;
}

class HostWindowTest : public testing::Test {
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

  // Real input, through the server as a user's mouse and keyboard make it (XTest): it
  // goes where the server sends it, so focus and grabs count. Points are in the editor
  // window's coordinates.
  void realMove(int x, int y, Window window = 0) {
    int rootX = 0, rootY = 0;
    Window unused = 0;
    XTranslateCoordinates(display_, window ? window : child_, DefaultRootWindow(display_), x, y,
                          &rootX, &rootY, &unused);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    idle(1);
  }
  void realButton(unsigned int number, bool down) {
    XTestFakeButtonEvent(display_, number, down ? True : False, CurrentTime);
    idle(1);
  }
  void realClick(int x, int y, unsigned int number = Button1, Window window = 0) {
    realMove(x, y, window);
    realButton(number, true);
    realButton(number, false);
    idle();
  }
  void realKey(KeySym symbol, bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False,
                      CurrentTime);
  }
  void realPress(KeySym symbol) {
    realKey(symbol, true);
    realKey(symbol, false);
    idle(1);
  }
  // Letters, digits and spaces, as typed.
  void realType(const std::string& text) {
    for (char c : text) {
      const std::string name = c == ' ' ? "space" : std::string(1, c);
      const KeySym symbol = XStringToKeysym(name.c_str());
      ASSERT_NE(symbol, static_cast<KeySym>(NoSymbol)) << name;
      realKey(symbol, true);
      realKey(symbol, false);
    }
    idle();
  }

  // Raw input through the server, with no idle after it: events pile up in the editor's
  // queue as they do while a host is busy.
  void fakeMoveTo(int x, int y) {
    int rootX = 0, rootY = 0;
    Window unused = 0;
    XTranslateCoordinates(display_, child_, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                          &unused);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
  }
  void fakeButton(unsigned int number, bool down) {
    XTestFakeButtonEvent(display_, number, down ? True : False, CurrentTime);
  }

  // A parent window of another visual than the screen's default: 32-bit ARGB, as a host
  // under a compositor may give. False when the server has none.
  bool useArgbParent() {
    XVisualInfo info{};
    if (!XMatchVisualInfo(display_, DefaultScreen(display_), 32, TrueColor, &info)) return false;
    XSetWindowAttributes attributes{};
    attributes.colormap =
        XCreateColormap(display_, DefaultRootWindow(display_), info.visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.background_pixel = 0;
    XDestroyWindow(display_, parent_);
    parent_ =
        XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 720, 352, 0, 32, InputOutput,
                      info.visual, CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(display_, parent_);
    XSync(display_, False);
    return true;
  }

  // How many pixels of the editor's window (every third of each row and column) differ
  // from the panel's picture as the plug-in draws it off screen.
  int pixelsDifferingFromThePicture() {
    tavola::test::TempFolder folder;
    std::string path = (folder.path() / "panel.png").string();
    if (effect_->dispatch(effVendorSpecific, tavola::kEditorPictureRequest, 0, path.data()) != 1)
      return -1;
    idle();
    cairo_surface_t* picture = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) return -1;
    const unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    XImage* image = XGetImage(display_, child_, 0, 0, 720, 352, AllPlanes, ZPixmap);
    int differing = image ? 0 : -1;
    for (int row = 0; image && row < 352; row += 3)
      for (int column = 0; column < 720; column += 3) {
        std::uint32_t argb;
        std::memcpy(&argb, data + row * stride + 4 * column, 4);
        if ((argb & 0xFFFFFF) != (XGetPixel(image, column, row) & 0xFFFFFF)) ++differing;
      }
    if (image) XDestroyImage(image);
    cairo_surface_destroy(picture);
    return differing;
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

}  // namespace tavola::test
