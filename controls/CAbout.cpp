#include "controls/CAbout.h"

#include "controls/CSplashScreenMyView.h"
#include "gui/CFrame.h"

using namespace VSTGUI;

CAbout::CAbout(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
               const CRect& display, const CPoint& offset, const CPoint& extra)
    : CSplashScreen(size, listener, tag, background, display, offset), extra_(extra) {}

CMouseEventResult CAbout::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & kLButton) || !listener_) return kMouseEventNotHandled;
  value_ = value_ == 0.0f ? 1.0f : 0.0f;
  if (value_ == 0.0f) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  auto* view = new CSplashScreenMyView(display_, this, extra_, offset_, kVersionText);
  if (frame_ && frame_->setModalView(view)) {
    listener_->valueChanged(this);
  } else {
    // Another modal view is open: this one is never shown.
    view->forget();
    value_ = 0.0f;
  }
  setDirty(true);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
