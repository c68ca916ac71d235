#pragma once
// A read-out: the value as text over a piece of the background, through a converter the
// owner gives (a number with two decimals without one).

#include "gui/CColor.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFontDesc.h"

namespace VSTGUI {

enum CParamDisplayStyle : long { kNoTextStyle = 1 << 0, kNoDrawStyle = 1 << 1 };

class CParamDisplay : public CControl {
 public:
  // Writes the text for `value` into `text`, which holds 256 bytes.
  using StringConvert = void (*)(float value, char* text);

  CParamDisplay(const CRect& size, CBitmap* background = nullptr, long style = 0);

  // Keeps the value within the minimum and maximum.
  void setValue(float value, bool notify = false) override;
  void draw(CDrawContext* context) override;

  void setStringConvert(StringConvert convert) { convert_ = convert; }
  void setHoriAlign(CHoriTxtAlign align) { align_ = align; }
  void setFont(CFontRef font) { font_ = font; }
  void setFontColor(const CColor& color) { fontColor_ = color; }
  void setBackColor(const CColor& color) { backColor_ = color; }
  void setFrameColor(const CColor& color) { frameColor_ = color; }
  void setTextTransparency(bool transparent) { textTransparent_ = transparent; }
  void setAntialias(bool antialias) { antialias_ = antialias; }
  void setStyle(long style) { style_ = style; }
  long getStyle() const { return style_; }
  // The text the read-out shows now.
  void getDisplayText(char* text) const;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CParamDisplay") == 0 || CControl::isTypeOf(name);
  }

 protected:
  StringConvert convert_ = nullptr;
  CHoriTxtAlign align_ = kCenterText;
  CFontRef font_ = kNormalFontSmall;
  CColor fontColor_ = kWhiteCColor;
  CColor backColor_ = kBlackCColor;
  CColor frameColor_ = kBlackCColor;
  bool textTransparent_ = true;
  bool antialias_ = true;
  long style_;
};

}  // namespace VSTGUI
