#include "gui/CSplashScreen.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace VSTGUI {

namespace {

// The picture itself: the splash screen's background at its offset; a left click closes.
class SplashView : public CView {
 public:
  SplashView(const CRect& size, CSplashScreen* owner) : CView(size), owner_(owner) {
    setBackground(owner->getBackground());
    setBackOffset(owner->getOffset());
  }
  CMouseEventResult onMouseDown(CPoint&, const long& buttons) override {
    if (buttons & kLButton) owner_->unSplash();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

 private:
  CSplashScreen* owner_;
};

}  // namespace

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, long tag,
                             CBitmap* background, const CRect& display, const CPoint& offset)
    : CControl(size, listener, tag, background), display_(display), offset_(offset) {}

CSplashScreen::~CSplashScreen() {
  if (modalView_) modalView_->forget();
}

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & kLButton) || !frame_) return kMouseEventNotHandled;
  value_ = value_ == 0.0f ? 1.0f : 0.0f;
  if (value_ == 1.0f && !modalView_) {
    auto* view = new SplashView(display_, this);
    if (frame_->setModalView(view)) {
      modalView_ = view;
      view->remember();
      if (listener_) listener_->valueChanged(this);
    } else {
      view->forget();
      value_ = 0.0f;
    }
  }
  setDirty(true);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::removed() {
  if (modalView_) unSplash();
  CControl::removed();
}

void CSplashScreen::unSplash() {
  value_ = min_;
  setDirty(true);
  if (!modalView_) return;
  CView* view = modalView_;
  modalView_ = nullptr;
  if (frame_ && frame_->getModalView() == view) {
    frame_->setDirty(true);
    view->forget();  // the frame's reference, handed back by setModalView
    frame_->setModalView(nullptr);
  }
  view->forget();
}

void CSplashScreen::valueChanged(CControl*) {
  unSplash();
}

}  // namespace VSTGUI
