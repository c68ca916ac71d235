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
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

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
