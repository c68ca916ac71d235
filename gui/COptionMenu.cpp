#include "gui/COptionMenu.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace VSTGUI {
namespace {

constexpr double kEntryHeight = 17;
constexpr double kMarkWidth = 16;
constexpr double kTextPadding = 10;
constexpr double kMinimumColumnWidth = 120;

constexpr CColor kListColour{241, 241, 238, 255};
constexpr CColor kListBorder{36, 36, 32, 255};
constexpr CColor kListInk{36, 36, 32, 255};
constexpr CColor kLitColour{52, 96, 150, 255};
constexpr CColor kLitInk{255, 255, 255, 255};

const std::string kNoTitle;

}  // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background, long style)
    : CParamDisplay(size, background, style) {
  listener_ = listener;
  tag_ = tag;
  min_ = 0;
  max_ = 0;
  default_ = 0;
  setWantsFocus(false);
}

COptionMenu::~COptionMenu() = default;

bool COptionMenu::addEntry(const char* title) {
  entries_.emplace_back(title ? title : "");
  max_ = static_cast<float>(entries_.size() - 1);
  setDirty(true);
  return true;
}

const std::string& COptionMenu::getEntry(int index) const {
  if (index < 0 || index >= getNbEntries()) return kNoTitle;
  return entries_[static_cast<std::size_t>(index)];
}

bool COptionMenu::setEntry(int index, const char* title) {
  if (index < 0 || index >= getNbEntries()) return false;
  entries_[static_cast<std::size_t>(index)] = title ? title : "";
  setDirty(true);
  return true;
}

void COptionMenu::removeAllEntry() {
  entries_.clear();
  current_ = 0;
  max_ = 0;
  setDirty(true);
}

bool COptionMenu::setCurrent(int index) {
  if (index < 0 || index >= getNbEntries()) return false;
  current_ = index;
  value_ = static_cast<float>(index);
  setDirty(true);
  return true;
}

void COptionMenu::draw(CDrawContext* context) {
  if (background_)
    background_->draw(context, size_, backOffset_);
  else if (!textTransparent_) {
    context->setFillColor(backColor_);
    context->fillRect(size_);
  }
  if (!(style_ & kMenuNoTextStyle)) {
    context->setFont(font_);
    context->setFontColor(fontColor_);
    context->drawString(getCurrentTitle().c_str(), size_, align_, antialias_);
  }
  if (!(style_ & kMenuNoFrameStyle)) {
    context->setFrameColor(frameColor_);
    context->drawRect(size_);
  }
  setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& /*where*/, const long& buttons) {
  if (!(buttons & (kLButton | kRButton)) || entries_.empty() || !frame_)
    return kMouseEventNotHandled;
  open_ = true;
  armed_ = false;
  highlighted_ = current_;
  // The list opens under the control's left edge.
  if (!frame_->openPopup(this, CPoint(size_.left, size_.bottom))) open_ = false;
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::onWheel(const CPoint& /*where*/, const float& /*distance*/,
                          const long& /*buttons*/) {
  // The wheel does not flip through presets behind the user's back.
  return false;
}

void COptionMenu::removed() {
  if (open_ && frame_) frame_->closePopup();
  CParamDisplay::removed();
}

double COptionMenu::columnWidth() const {
  double widest = 0;
  for (const std::string& entry : entries_)
    widest = std::max(widest, CDrawContext::measureString(entry.c_str(), kNormalFontSmall));
  return std::max(kMinimumColumnWidth, std::ceil(kMarkWidth + widest + kTextPadding));
}

CPoint COptionMenu::popupSize() const {
  const int count = std::max(1, getNbEntries());
  const int columns = (count + perColumn_ - 1) / perColumn_;
  const int rows = std::min(count, perColumn_);
  return CPoint(columns * columnWidth() + 2, rows * kEntryHeight + 2);
}

CRect COptionMenu::entryRect(int index) const {
  const double width = columnWidth();
  const int column = index / perColumn_;
  const int row = index % perColumn_;
  const double left = 1 + column * width;
  const double top = 1 + row * kEntryHeight;
  return CRect(left, top, left + width, top + kEntryHeight);
}

int COptionMenu::entryAt(const CPoint& where) const {
  for (int i = 0; i < getNbEntries(); ++i)
    if (entryRect(i).pointInside(where)) return i;
  return -1;
}

void COptionMenu::drawPopup(CDrawContext* context) {
  const CPoint size = popupSize();
  const CRect whole(0, 0, size.x, size.y);
  context->setFillColor(kListColour);
  context->fillRect(whole);
  context->setFrameColor(kListBorder);
  context->drawRect(whole);
  context->setFont(kNormalFontSmall);
  for (int i = 0; i < getNbEntries(); ++i) {
    const CRect entry = entryRect(i);
    const bool lit = i == highlighted_ && (style_ & kMenuHoverStyle);
    if (lit) {
      context->setFillColor(kLitColour);
      context->fillRect(entry);
    }
    context->setFontColor(lit ? kLitInk : kListInk);
    if (i == current_ && (style_ & kMenuCheckStyle)) {
      CRect mark(entry.left, entry.top, entry.left + kMarkWidth, entry.bottom);
      context->drawString("\xE2\x9C\x93", mark, kCenterText, antialias_);
    }
    CRect text(entry.left + kMarkWidth, entry.top, entry.right - 2, entry.bottom);
    context->drawString(getEntry(i).c_str(), text, kLeftText, antialias_);
  }
}

bool COptionMenu::popupMouseMoved(const CPoint& where) {
  const int over = entryAt(where);
  if (over >= 0) armed_ = true;
  if (over == highlighted_ || over < 0) return false;
  highlighted_ = over;
  return true;
}

bool COptionMenu::popupMouseDown(const CPoint& where, long /*buttons*/) {
  const int over = entryAt(where);
  if (over < 0) {
    // Outside the list: closed, nothing chosen.
    open_ = false;
    return false;
  }
  armed_ = true;
  highlighted_ = over;
  return true;
}

bool COptionMenu::popupMouseUp(const CPoint& where, long /*buttons*/) {
  const int over = entryAt(where);
  if (over >= 0 && armed_) choose(over);
  return false;
}

bool COptionMenu::popupKeyDown(const VstKeyCode& key) {
  switch (key.virt) {
    case VKEY_UP:
      highlighted_ = std::max(0, highlighted_ - 1);
      return true;
    case VKEY_DOWN:
      highlighted_ = std::min(getNbEntries() - 1, highlighted_ + 1);
      return true;
    case VKEY_HOME:
      highlighted_ = 0;
      return true;
    case VKEY_END:
      highlighted_ = getNbEntries() - 1;
      return true;
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_SPACE:
      if (highlighted_ >= 0) choose(highlighted_);
      return false;
    case VKEY_ESCAPE:
    case VKEY_TAB:
      open_ = false;
      return false;
    default:
      return false;
  }
}

void COptionMenu::choose(int index) {
  open_ = false;
  setCurrent(index);
  if (listener_) listener_->valueChanged(this);
}

void COptionMenu::popupClosed() {
  open_ = false;
  highlighted_ = -1;
  armed_ = false;
}

}  // namespace VSTGUI
