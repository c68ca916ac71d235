#include "gui/CParamDisplay.h"

#include <cstdio>

#include "gui/CBitmap.h"

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, long style)
    : CControl(size, nullptr, -1, background), style_(style) {
  default_ = 0.0f;
}

void CParamDisplay::setValue(float value, bool notify) {
  // The listener hears the value the display keeps, inside its range.
  const float previous = value_;
  value_ = value;
  bounceValue();
  const float kept = value_;
  value_ = previous;
  CControl::setValue(kept, notify);
}

void CParamDisplay::getDisplayText(char* text) const {
  if (convert_)
    convert_(value_, text);
  else
    std::snprintf(text, 256, "%.2f", static_cast<double>(value_));
}

void CParamDisplay::draw(CDrawContext* context) {
  if (!(style_ & kNoDrawStyle)) {
    if (background_)
      background_->draw(context, size_, backOffset_);
    else if (!textTransparent_) {
      context->setFillColor(backColor_);
      context->fillRect(size_);
    }
    if (!(style_ & kNoTextStyle)) {
      char text[256] = {};
      getDisplayText(text);
      context->setFont(font_);
      context->setFontColor(fontColor_);
      context->drawString(text, size_, align_, antialias_);
    }
  }
  setDirty(false);
}

}  // namespace VSTGUI
