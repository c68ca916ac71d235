#pragma once
// Drawing onto a cairo surface in frame coordinates: rectangles, lines, bitmaps and text.
// The frame makes one for every redraw, on its window's back buffer or on an image.
//
// Text that is not valid UTF-8 is drawn with replacement characters rather than handed to
// cairo, which would refuse it and stop drawing anything at all on the context. Should
// the cairo context fall into an error all the same, the next clip starts a fresh one, so
// one bad view never blanks the rest of the panel.

#include <cairo.h>

#include "gui/CColor.h"
#include "gui/CFontDesc.h"
#include "gui/CRect.h"

namespace VSTGUI {

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext {
 public:
  // Draws on `surface`, which stays the caller's.
  explicit CDrawContext(cairo_surface_t* surface);
  ~CDrawContext();
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  cairo_t* cairo() const { return cr_; }

  // Nothing is drawn outside the clip rectangle.
  void setClipRect(const CRect& clip);
  void resetClipRect();
  const CRect& getClipRect() const { return clip_; }

  void setFillColor(const CColor& color) { fill_ = color; }
  void setFrameColor(const CColor& color) { frame_ = color; }
  void setLineWidth(CCoord width) { lineWidth_ = width; }
  void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
  void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
  void moveTo(const CPoint& point) { pen_ = point; }
  void lineTo(const CPoint& point);

  // size 0 and style -1 keep the font's own.
  void setFont(CFontRef font, double size = 0, int style = -1);
  void setFontColor(const CColor& color) { fontColor_ = color; }
  const CColor& getFontColor() const { return fontColor_; }
  // The text on one line inside `rect`, centred vertically, clipped to it.
  void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText,
                  bool antialias = true);
  CCoord getStringWidth(const char* text);
  // The same without a surface to draw on: for views that lay text out between draws.
  static CCoord measureString(const char* text, CFontRef font);

 private:
  void useColour(const CColor& color);
  void applyFont();
  // A cairo context in error draws nothing more: it is replaced by a new one.
  void recoverFromError();

  cairo_surface_t* surface_;
  cairo_t* cr_;
  CRect clip_;
  CRect whole_;
  CColor fill_ = kWhiteCColor;
  CColor frame_ = kBlackCColor;
  CColor fontColor_ = kBlackCColor;
  CCoord lineWidth_ = 1;
  CPoint pen_;
  CFontDesc font_ = *kNormalFontSmall;
};

}  // namespace VSTGUI
