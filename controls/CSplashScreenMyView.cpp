#include "controls/CSplashScreenMyView.h"

#include <cstdio>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CSplashScreen.h"

using namespace VSTGUI;

CSplashScreenMyView::CSplashScreenMyView(const CRect& size, CSplashScreen* splashScreen,
                                         const CPoint& extra, const CPoint& offset,
                                         const char* version)
    : CView(size), splashScreen_(splashScreen), offset_(offset), extra_(extra) {
  setBackground(splashScreen->getBackground());
  setTransparency(splashScreen->getTransparency());
  std::snprintf(version_, sizeof version_, "%s", version);
}

void CSplashScreenMyView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, offset_, 1.0f);
  context->setFontColor(CColor{60, 60, 60, 255});
  context->setFont(kNormalFontVerySmall);
  const int cx = static_cast<int>((size_.left + size_.right) * 0.5);
  const int cy = static_cast<int>((size_.top + size_.bottom) * 0.5);
  char text[260];
  std::snprintf(text, sizeof text, "v.%s", version_);
  context->drawString(text, CRect(cx + 55, cy - 71, cx + 87, cy - 61), kCenterText, true);
  setDirty(false);
}

CMouseEventResult CSplashScreenMyView::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  splashScreen_->unSplash();
  if (CFrame* frame = frame_) {
    frame->setDirty(true);
    // The frame hands back its reference; this view is gone after the next line.
    if (frame->getModalView() == this) frame->setModalView(nullptr);
  }
  forget();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
