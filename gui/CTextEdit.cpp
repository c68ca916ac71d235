#include "gui/CTextEdit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/Utf8.h"

namespace VSTGUI {
namespace {

constexpr double kPadding = 3;
constexpr std::size_t kTextBufferSize = 256;

// Control characters (and Delete) never enter a name.
bool isPrintable(long character) {
  return character >= 0x20 && character != 0x7F && character <= 0x10FFFF;
}

}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, long tag, const char* text,
                     CBitmap* background, long style)
    : CParamDisplay(size, background, style) {
  listener_ = listener;
  tag_ = tag;
  setWantsFocus(true);
  setText(text);
}

void CTextEdit::setText(const char* text) {
  if (editing_) endEditing(false);
  const std::string incoming =
      utf8::validated(text ? std::string_view(text, ::strnlen(text, 4096)) : "");
  text_.assign(incoming.substr(0, utf8::cutPoint(incoming, kTextBufferSize - 1)));
  caret_ = anchor_ = text_.size();
  scroll_ = 0;
  setDirty(true);
}

void CTextEdit::getText(char* text) const {
  const std::size_t kept = utf8::cutPoint(text_, kTextBufferSize - 1);
  std::memcpy(text, text_.data(), kept);
  text[kept] = '\0';
}

double CTextEdit::textOrigin() const {
  const double width = CDrawContext::measureString(text_.c_str(), font_);
  const double room = size_.width() - 2 * kPadding;
  if (width <= room) {
    if (align_ == kLeftText) return size_.left + kPadding;
    if (align_ == kRightText) return size_.right - kPadding - width;
    return size_.left + (size_.width() - width) / 2;
  }
  return size_.left + kPadding - scroll_;
}

double CTextEdit::xOf(std::size_t offset) const {
  const std::string before = text_.substr(0, offset);
  return textOrigin() + CDrawContext::measureString(before.c_str(), font_);
}

std::size_t CTextEdit::offsetAt(double x) const {
  // The character boundary nearest to x.
  std::size_t best = 0;
  double bestDistance = std::abs(xOf(0) - x);
  for (std::size_t at = utf8::next(text_, 0); at <= text_.size() && best < text_.size();
       at = utf8::next(text_, at)) {
    const double distance = std::abs(xOf(at) - x);
    if (distance < bestDistance) {
      best = at;
      bestDistance = distance;
    }
    if (at == text_.size()) break;
  }
  return best;
}

void CTextEdit::keepCaretVisible() {
  const double width = CDrawContext::measureString(text_.c_str(), font_);
  const double room = size_.width() - 2 * kPadding;
  if (width <= room) {
    scroll_ = 0;
    return;
  }
  const std::string before = text_.substr(0, caret_);
  const double caretX = CDrawContext::measureString(before.c_str(), font_);
  scroll_ = std::clamp(scroll_, caretX - room, caretX);
  scroll_ = std::clamp(scroll_, 0.0, width - room);
}

void CTextEdit::draw(CDrawContext* context) {
  if (background_)
    background_->draw(context, size_, backOffset_);
  else if (!textTransparent_) {
    context->setFillColor(backColor_);
    context->fillRect(size_);
  }
  context->setFont(font_);
  const double origin = textOrigin();
  if (editing_ && hasSelection()) {
    const double from = xOf(std::min(caret_, anchor_));
    const double to = xOf(std::max(caret_, anchor_));
    CColor selection = fontColor_;
    selection.alpha = 64;
    context->setFillColor(selection);
    context->fillRect(CRect(from, size_.top + 2, to, size_.bottom - 2));
  }
  context->setFontColor(fontColor_);
  CRect line(origin, size_.top, origin + 4096, size_.bottom);
  context->drawString(text_.c_str(), line, kLeftText, antialias_);
  if (editing_) {
    const double x = std::floor(xOf(caret_));
    context->setFrameColor(fontColor_);
    context->moveTo(CPoint(x, size_.top + 2));
    context->lineTo(CPoint(x, size_.bottom - 3));
    // A thin frame says the field has the keyboard.
    context->setFrameColor(frameColor_);
    context->drawRect(size_);
  }
  setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  // The first click starts the edit (the frame gives the focus); later ones place the
  // caret, and a double click selects everything.
  if (editing_) {
    if (buttons & kDoubleClick) {
      anchor_ = 0;
      caret_ = text_.size();
    } else {
      moveCaret(offsetAt(where.x), (buttons & kShift) != 0);
      selecting_ = true;
    }
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CTextEdit::onMouseMoved(CPoint& where, const long& buttons) {
  if (!selecting_ || !(buttons & kLButton)) return kMouseEventNotHandled;
  moveCaret(offsetAt(where.x), true);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CTextEdit::onMouseUp(CPoint& /*where*/, const long& /*buttons*/) {
  selecting_ = false;
  return kMouseEventHandled;
}

void CTextEdit::takeFocus() {
  if (editing_) return;
  editing_ = true;
  original_ = text_;
  anchor_ = 0;
  caret_ = text_.size();
  keepCaretVisible();
  if (frame_) frame_->setKeyboardFocus(true);
  invalid();
  setDirty(true);
}

void CTextEdit::looseFocus() {
  if (editing_) endEditing(true);
}

void CTextEdit::endEditing(bool keep) {
  editing_ = false;
  selecting_ = false;
  if (!keep) text_ = original_;
  caret_ = anchor_ = text_.size();
  scroll_ = 0;
  if (frame_) {
    frame_->setKeyboardFocus(false);
    // Return and Escape end the edit; the field then has the keys no more.
    if (frame_->getFocusView() == this) frame_->setFocusView(nullptr);
  }
  setDirty(true);
  invalid();
  if (keep && text_ != original_ && listener_) listener_->valueChanged(this);
}

void CTextEdit::eraseSelection() {
  const std::size_t from = std::min(caret_, anchor_);
  text_.erase(from, std::max(caret_, anchor_) - from);
  caret_ = anchor_ = from;
}

void CTextEdit::insert(const std::string& input) {
  // An input method may hand over a noncharacter; the name must stay drawable.
  const std::string typed = utf8::validated(input);
  eraseSelection();
  if (text_.size() + typed.size() > kTextBufferSize - 1) return;
  text_.insert(caret_, typed);
  caret_ = anchor_ = caret_ + typed.size();
}

void CTextEdit::moveCaret(std::size_t to, bool extend) {
  caret_ = std::min(to, text_.size());
  if (!extend) anchor_ = caret_;
}

long CTextEdit::onKeyDown(VstKeyCode& key) {
  if (!editing_) return -1;
  const bool shift = (key.modifier & MODIFIER_SHIFT) != 0;
  const bool command = (key.modifier & (MODIFIER_COMMAND | MODIFIER_CONTROL)) != 0;
  switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_TAB:
      endEditing(true);
      return 1;
    case VKEY_ESCAPE:
      endEditing(false);
      return 1;
    case VKEY_BACK:
      if (!hasSelection()) anchor_ = utf8::previous(text_, caret_);
      eraseSelection();
      break;
    case VKEY_DELETE:
      if (!hasSelection()) anchor_ = utf8::next(text_, caret_);
      eraseSelection();
      break;
    case VKEY_LEFT:
      if (hasSelection() && !shift)
        moveCaret(std::min(caret_, anchor_), false);
      else
        moveCaret(utf8::previous(text_, caret_), shift);
      break;
    case VKEY_RIGHT:
      if (hasSelection() && !shift)
        moveCaret(std::max(caret_, anchor_), false);
      else
        moveCaret(utf8::next(text_, caret_), shift);
      break;
    case VKEY_HOME:
    case VKEY_UP:
      moveCaret(0, shift);
      break;
    case VKEY_END:
    case VKEY_DOWN:
      moveCaret(text_.size(), shift);
      break;
    case VKEY_SPACE:
      insert(" ");
      break;
    default: {
      // Ctrl+A (which X also sends as the control character 1) selects everything.
      if (command && (key.character == 'a' || key.character == 'A' || key.character == 1)) {
        anchor_ = 0;
        caret_ = text_.size();
        break;
      }
      if (command || !isPrintable(key.character)) return -1;
      std::string typed;
      utf8::append(typed, static_cast<char32_t>(key.character));
      insert(typed);
    }
  }
  keepCaretVisible();
  invalid();
  return 1;
}

long CTextEdit::onKeyUp(VstKeyCode& /*key*/) {
  // While editing, releases belong to the field too, never to the host.
  return editing_ ? 1 : -1;
}

}  // namespace VSTGUI
