// The LV2 panel in a host's window on a real X server (the test script starts Xvfb), as
// suil embeds an X11 UI: the host gives its window, the plug-in instance and a write
// function, drives the idle interface and passes port changes in.

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "Lv2Host.h"

namespace tavola::lv2test {
namespace {

struct PortWrite {
  uint32_t port;
  float value;
};

class Lv2Panel : public testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    if (!display_) GTEST_SKIP() << "no X display (the test script starts Xvfb)";
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 720, 352, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);
    ASSERT_TRUE(Lv2Bundle::get().panel());
    instance_.connectAll();
    instance_.activate();
    runOnce();
  }
  void TearDown() override {
    closePanel();
    if (display_) {
      XDestroyWindow(display_, parent_);
      XCloseDisplay(display_);
    }
  }

  LV2UI_Handle openPanel(bool withInstance = true) {
    LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, instance_.handle()};
    LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent_)};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize_};
    const LV2_Feature* features[] = {&parentFeature, &resizeFeature,
                                     withInstance ? &instanceFeature : nullptr, nullptr};
    const LV2UI_Descriptor* d = Lv2Bundle::get().panel();
    widget_ = nullptr;
    ui_ =
        d->instantiate(d, lv2::kPluginUri, "/nowhere/", &Lv2Panel::write, this, &widget_, features);
    return ui_;
  }
  void closePanel() {
    if (ui_) Lv2Bundle::get().panel()->cleanup(ui_);
    ui_ = nullptr;
  }
  void idle(int times = 3) {
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(
        Lv2Bundle::get().panel()->extension_data(LV2_UI__idleInterface));
    for (int i = 0; i < times; ++i) {
      XSync(display_, False);
      usleep(2000);
      ASSERT_EQ(idle->idle(ui_), 0);
    }
  }
  void runOnce() {
    std::vector<float> silence(64, 0.0f), out(64);
    instance_.run(silence.data(), silence.data(), out.data(), out.data(), 64);
  }
  void click(int x, int y) {
    const Window child = reinterpret_cast<Window>(widget_);
    for (int type : {ButtonPress, ButtonRelease}) {
      XEvent event{};
      event.xbutton.type = type;
      event.xbutton.display = display_;
      event.xbutton.window = child;
      event.xbutton.root = DefaultRootWindow(display_);
      event.xbutton.time = 1000;
      event.xbutton.x = x;
      event.xbutton.y = y;
      event.xbutton.button = Button1;
      event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
      event.xbutton.same_screen = True;
      XSendEvent(display_, child, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
                 &event);
    }
    idle();
  }
  std::vector<unsigned long> pixels(int x, int y, int w, int h) {
    XImage* image =
        XGetImage(display_, reinterpret_cast<Window>(widget_), x, y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h), AllPlanes, ZPixmap);
    std::vector<unsigned long> values;
    for (int row = 0; image && row < h; ++row)
      for (int column = 0; column < w; ++column) values.push_back(XGetPixel(image, column, row));
    if (image) XDestroyImage(image);
    return values;
  }
  void portEvent(const char* symbol, float value) {
    for (const auto& c : lv2::controlPorts())
      if (std::strcmp(c.symbol, symbol) == 0)
        Lv2Bundle::get().panel()->port_event(ui_, lv2::portIndexOf(c), sizeof value, 0, &value);
  }

  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer) {
    auto* self = static_cast<Lv2Panel*>(controller);
    ASSERT_EQ(size, sizeof(float));
    ASSERT_EQ(protocol, 0u);
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    self->writes_.push_back({port, value});
    // The host's side of it: the port takes the value.
    if (lv2::controlPortAt(port)) self->instance_.control_(port) = value;
  }
  static int resized(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<Lv2Panel*>(handle);
    self->size_[0] = width;
    self->size_[1] = height;
    return 0;
  }

  Display* display_ = nullptr;
  Window parent_ = 0;
  Lv2Instance instance_;
  LV2UI_Handle ui_ = nullptr;
  LV2UI_Widget widget_ = nullptr;
  LV2UI_Resize resize_{this, &Lv2Panel::resized};
  int size_[2] = {0, 0};
  std::vector<PortWrite> writes_;
};

unsigned satPort() {
  for (const auto& c : lv2::controlPorts())
    if (std::strcmp(c.symbol, "sat") == 0) return lv2::portIndexOf(c);
  return 0;
}

TEST_F(Lv2Panel, OpensInTheHostsWindowAtItsSizeAndNeedsTheInstance) {
  EXPECT_EQ(openPanel(false), nullptr);
  ASSERT_NE(openPanel(), nullptr);
  EXPECT_NE(widget_, nullptr);
  EXPECT_EQ(size_[0], 720);
  EXPECT_EQ(size_[1], 352);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display_, reinterpret_cast<Window>(widget_), &attributes));
  EXPECT_EQ(attributes.width, 720);
  EXPECT_EQ(attributes.height, 352);
  // One panel per instance.
  LV2UI_Handle first = ui_;
  EXPECT_EQ(openPanel(), nullptr);
  ui_ = first;
}

TEST_F(Lv2Panel, AClickOnSatWritesThePortAndAHostChangeRedrawsTheKnob) {
  ASSERT_NE(openPanel(), nullptr);
  idle();
  click(630, 100);
  ASSERT_FALSE(writes_.empty());
  EXPECT_EQ(writes_.back().port, satPort());
  EXPECT_EQ(writes_.back().value, 1.0f);
  // The write came back through the port: the next run changes nothing more.
  runOnce();
  EXPECT_EQ(instance_.control("sat"), 1.0f);

  const std::vector<unsigned long> before = pixels(451, 55, 70, 70);
  writes_.clear();
  portEvent("hf_gain", 9.0f);
  instance_.control("hf_gain") = 9.0f;
  idle();
  EXPECT_NE(pixels(451, 55, 70, 70), before);
  // What the host told the panel is not written back to it.
  EXPECT_TRUE(writes_.empty());
}

// A change the host did not make (here a restored state) reaches the host's ports at the
// panel's next idle.
TEST_F(Lv2Panel, ChangesFromInsideAreWrittenToTheHostAtTheNextIdle) {
  ASSERT_NE(openPanel(), nullptr);
  idle();
  Lv2Instance other;
  other.connectAll();
  other.control("lf_gain") = -6.0f;
  other.activate();
  std::vector<float> silence(16, 0.0f), out(16);
  other.run(silence.data(), silence.data(), out.data(), out.data(), 16);
  ASSERT_EQ(instance_.restoreBank(other.savedBank()), LV2_STATE_SUCCESS);
  idle();
  EXPECT_EQ(instance_.control("lf_gain"), -6.0f);
  ASSERT_EQ(writes_.size(), 1u);
}

TEST_F(Lv2Panel, TwentyOpenAndCloseCyclesLeaveNoWindowBehind) {
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_NE(openPanel(), nullptr) << cycle;
    idle(1);
    closePanel();
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(display_, parent_, &root, &parent, &children, &count);
  if (children) XFree(children);
  EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace tavola::lv2test
