// How the frame hands out the mouse, the wheel and the keys: to the topmost view that takes
// them, the rest of a drag to the view that took its mouse-down, and only to the modal view
// while one is shown.

#include <gtest/gtest.h>

#include <string>

#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/VSTGUIEditorInterface.h"
#include "support/GuiTestSupport.h"

using namespace VSTGUI;

namespace {

// A view that writes down what it heard, and answers mouse-downs as told.
class Listening : public CView {
 public:
  Listening(const CRect& size, std::string name, std::string& log,
            CMouseEventResult answer = kMouseEventHandled)
      : CView(size), name_(std::move(name)), log_(log), answer_(answer) {}
  ~Listening() override { log_ += name_ + ":gone "; }
  CMouseEventResult onMouseDown(CPoint&, const long&) override {
    log_ += name_ + ":down ";
    return answer_;
  }
  CMouseEventResult onMouseMoved(CPoint& where, const long&) override {
    log_ += name_ + ":moved(" + std::to_string(static_cast<int>(where.x)) + ") ";
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint&, const long&) override {
    log_ += name_ + ":up ";
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(CPoint&, const long&) override {
    log_ += name_ + ":enter ";
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint&, const long&) override {
    log_ += name_ + ":exit ";
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint&, const float& distance, const long&) override {
    log_ += name_ + ":wheel(" + std::to_string(static_cast<int>(distance)) + ") ";
    return true;
  }
  long onKeyDown(VstKeyCode& key) override {
    log_ += name_ + ":key(" + std::to_string(key.virt) + ") ";
    return 1;
  }

 private:
  std::string name_;
  std::string& log_;
  CMouseEventResult answer_;
};

struct Editor : VSTGUIEditorInterface {
  void beginEdit(long tag) override { log += "begin(" + std::to_string(tag) + ") "; }
  void endEdit(long tag) override { log += "end(" + std::to_string(tag) + ") "; }
  long getKnobMode() const override { return 2; }
  std::string log;
};

class FrameEvents : public testing::Test {
 protected:
  CMouseEventResult down(double x, double y, long buttons = kLButton) {
    return mouse_.down(x, y, buttons);
  }
  void move(double x, double y, long buttons = kLButton) { mouse_.move(x, y, buttons); }
  void up(double x, double y, long stillHeld = 0) { mouse_.up(x, y, stillHeld); }

  std::string log_;
  Editor editor_;
  CFrame frame_{CRect(0, 0, 200, 100), nullptr, &editor_};
  gui_test::FrameMouse mouse_{frame_};
};

TEST_F(FrameEvents, TheTopmostViewThatTakesTheClickGetsTheWholeDrag) {
  frame_.addView(new Listening(CRect(0, 0, 100, 100), "below", log_));
  frame_.addView(new Listening(CRect(50, 0, 150, 100), "above", log_));
  EXPECT_EQ(down(60, 10), kMouseEventHandled);
  EXPECT_EQ(frame_.getCurrentMouseButtons(), kLButton);
  move(190, 10);  // far outside the view: the drag stays with it
  up(190, 10);
  EXPECT_EQ(log_, "above:down above:moved(190) above:up ");
  EXPECT_EQ(frame_.getCurrentMouseButtons(), 0);
}

TEST_F(FrameEvents, AViewThatDeclinesLetsTheViewBelowHaveIt) {
  frame_.addView(new Listening(CRect(0, 0, 100, 100), "below", log_));
  frame_.addView(new Listening(CRect(0, 0, 100, 100), "deaf", log_, kMouseEventNotHandled));
  frame_.addView(new Listening(CRect(0, 0, 100, 100), "once", log_,
                               kMouseDownEventHandledButDontNeedMovedOrUpEvents));
  frame_.getView(2)->setVisible(false);
  EXPECT_EQ(down(10, 10), kMouseEventHandled);
  up(10, 10);
  EXPECT_EQ(log_, "deaf:down below:down below:up deaf:enter ");
  log_.clear();
  frame_.getView(2)->setVisible(true);
  EXPECT_EQ(down(10, 10), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  move(20, 10);
  up(20, 10);
  // No view took the drag: the move is a hover over the topmost view.
  EXPECT_EQ(log_, "once:down deaf:exit once:enter once:moved(20) ");
  log_.clear();
  EXPECT_EQ(down(150, 50), kMouseEventNotHandled) << "nothing under the pointer";
  EXPECT_EQ(log_, "");
}

TEST_F(FrameEvents, HoverEntersAndExitsAsThePointerCrosses) {
  frame_.addView(new Listening(CRect(0, 0, 50, 100), "a", log_));
  frame_.addView(new Listening(CRect(100, 0, 150, 100), "b", log_));
  move(10, 10, 0);
  move(20, 10, 0);
  move(110, 10, 0);
  move(180, 10, 0);
  EXPECT_EQ(log_, "a:enter a:moved(10) a:moved(20) a:exit b:enter b:moved(110) b:exit ");
}

TEST_F(FrameEvents, AModalViewHearsEverythingAndNothingElseDoes) {
  frame_.addView(new Listening(CRect(0, 0, 200, 100), "panel", log_));
  auto* about = new Listening(CRect(50, 20, 150, 80), "about", log_);
  ASSERT_TRUE(frame_.setModalView(about));
  EXPECT_EQ(frame_.getModalView(), about);
  auto* second = new Listening(CRect(0, 0, 10, 10), "second", log_);
  EXPECT_FALSE(frame_.setModalView(second)) << "one modal view at a time";
  second->forget();
  log_.clear();
  EXPECT_EQ(down(10, 10), kMouseEventNotHandled) << "outside the modal view";
  EXPECT_FALSE(frame_.onWheel(CPoint(10, 10), 1.0f, 0));
  EXPECT_EQ(down(60, 30), kMouseEventHandled);
  up(60, 30);
  EXPECT_EQ(log_, "about:down about:up about:enter ");
  // Cleared, the view is the caller's again and the panel hears the mouse.
  ASSERT_TRUE(frame_.setModalView(nullptr));
  EXPECT_FALSE(frame_.isChild(about));
  log_.clear();
  about->forget();
  down(10, 10);
  EXPECT_EQ(log_, "about:gone panel:down ");
}

TEST_F(FrameEvents, WheelToTheViewUnderThePointerKeysToTheFocus) {
  frame_.addView(new Listening(CRect(0, 0, 50, 100), "a", log_));
  auto* b = new Listening(CRect(100, 0, 150, 100), "b", log_);
  b->setWantsFocus(true);
  frame_.addView(b);
  EXPECT_TRUE(frame_.onWheel(CPoint(10, 10), -2.0f, 0));
  EXPECT_FALSE(frame_.onWheel(CPoint(70, 10), 1.0f, 0));
  VstKeyCode key;
  key.virt = VKEY_UP;
  EXPECT_EQ(frame_.onKeyDown(key), -1) << "no focus yet";
  down(120, 10);
  up(120, 10);
  EXPECT_EQ(frame_.onKeyDown(key), 1);
  EXPECT_EQ(log_, "a:wheel(-2) b:down b:up b:enter b:key(12) ");
}

TEST_F(FrameEvents, ClosingReleasesEveryViewOnce) {
  auto* kept = new Listening(CRect(0, 0, 10, 10), "kept", log_);
  kept->remember();
  frame_.addView(kept);
  frame_.addView(new Listening(CRect(0, 0, 10, 10), "owned", log_));
  down(5, 5);
  frame_.close();
  EXPECT_EQ(frame_.getNbViews(), 0);
  EXPECT_EQ(log_, "owned:down owned:gone ");
  EXPECT_EQ(kept->getNbReference(), 1);
  kept->forget();
  EXPECT_EQ(log_, "owned:down owned:gone kept:gone ");
  move(5, 5);  // a late event after close reaches nothing
}

}  // namespace
