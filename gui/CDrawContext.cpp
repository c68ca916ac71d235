#include "gui/CDrawContext.h"

#include <cmath>
#include <string>

#include "gui/Utf8.h"

namespace VSTGUI {

CDrawContext::CDrawContext(cairo_surface_t* surface)
    : surface_(surface), cr_(cairo_create(surface)) {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
  whole_ = CRect(x1, y1, x2, y2);
  clip_ = whole_;
  cairo_save(cr_);
}

CDrawContext::~CDrawContext() {
  cairo_restore(cr_);
  cairo_destroy(cr_);
}

void CDrawContext::recoverFromError() {
  if (cairo_status(cr_) == CAIRO_STATUS_SUCCESS) return;
  cairo_destroy(cr_);
  cr_ = cairo_create(surface_);
  cairo_save(cr_);
}

void CDrawContext::setClipRect(const CRect& clip) {
  recoverFromError();
  cairo_restore(cr_);
  cairo_save(cr_);
  clip_ = clip;
  clip_.bound(whole_);
  cairo_rectangle(cr_, clip_.left, clip_.top, clip_.width(), clip_.height());
  cairo_clip(cr_);
}

void CDrawContext::resetClipRect() {
  setClipRect(whole_);
}

void CDrawContext::useColour(const CColor& c) {
  cairo_set_source_rgba(cr_, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
  if (style != kDrawStroked) {
    useColour(fill_);
    cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cr_);
  }
  if (style != kDrawFilled) {
    // Strokes run along pixel centres so that a one-pixel frame covers whole pixels.
    const double inset = lineWidth_ / 2;
    useColour(frame_);
    cairo_set_line_width(cr_, lineWidth_);
    cairo_rectangle(cr_, rect.left + inset, rect.top + inset, rect.width() - lineWidth_,
                    rect.height() - lineWidth_);
    cairo_stroke(cr_);
  }
}

void CDrawContext::lineTo(const CPoint& point) {
  useColour(frame_);
  cairo_set_line_width(cr_, lineWidth_);
  cairo_move_to(cr_, pen_.x + 0.5, pen_.y + 0.5);
  cairo_line_to(cr_, point.x + 0.5, point.y + 0.5);
  cairo_stroke(cr_);
  pen_ = point;
}

void CDrawContext::setFont(CFontRef font, double size, int style) {
  if (!font) return;
  font_ = *font;
  if (size > 0) font_.size = size;
  if (style >= 0) font_.style = style;
}

void CDrawContext::applyFont() {
  cairo_select_font_face(
      cr_, font_.name,
      (font_.style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      (font_.style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, font_.size);
}

CCoord CDrawContext::measureString(const char* text, CFontRef font) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  CCoord width = 0;
  {
    CDrawContext context(surface);
    context.setFont(font);
    width = context.getStringWidth(text);
  }
  cairo_surface_destroy(surface);
  return width;
}

namespace {

// The text as cairo takes it: `text` itself when it is valid, else a mended copy.
const char* drawable(const char* text, std::string& mended) {
  if (utf8::isValid(text)) return text;
  mended = utf8::validated(text);
  return mended.c_str();
}

}  // namespace

CCoord CDrawContext::getStringWidth(const char* text) {
  if (!text) return 0;
  std::string mended;
  text = drawable(text, mended);
  applyFont();
  cairo_text_extents_t extents;
  cairo_text_extents(cr_, text, &extents);
  return extents.x_advance;
}

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align,
                              bool antialias) {
  if (!text || !*text || rect.isEmpty()) return;
  std::string mended;
  text = drawable(text, mended);
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
  cairo_clip(cr_);
  applyFont();
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options,
                                   antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
  cairo_text_extents_t extents;
  cairo_text_extents(cr_, text, &extents);
  cairo_font_extents_t font;
  cairo_font_extents(cr_, &font);
  double x = rect.left;
  if (align == kCenterText)
    x = rect.left + (rect.width() - extents.x_advance) / 2;
  else if (align == kRightText)
    x = rect.right - extents.x_advance;
  // The baseline that centres the font's ascent and descent in the rectangle, on a whole
  // pixel so that the text is as crisp as the font allows.
  const double baseline = std::round(rect.top + (rect.height() + font.ascent - font.descent) / 2);
  useColour(fontColor_);
  cairo_move_to(cr_, std::round(x), baseline);
  cairo_show_text(cr_, text);
  cairo_restore(cr_);
}

}  // namespace VSTGUI
