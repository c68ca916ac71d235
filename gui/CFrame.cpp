#include "gui/CFrame.h"

#include <cairo.h>

#include <algorithm>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/PlatformWindow.h"
#include "gui/PopupContent.h"
#include "gui/VSTGUIEditorInterface.h"

namespace VSTGUI {
namespace {

constexpr long kMouseButtons = kLButton | kMButton | kRButton | kButton4 | kButton5;

bool hits(const CView* view, const CPoint& where) {
  return view->isVisible() && view->getMouseEnabled() &&
         view->getMouseableArea().pointInside(where);
}

}  // namespace

CFrame::CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor)
    : CView(size), parentWindow_(parentWindow), editor_(editor) {
  buffer_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.width()),
                                       static_cast<int>(size.height()));
  frame_ = this;
  dirty_ = true;
  if (parentWindow_) window_ = openPlatformWindow(*this, parentWindow_);
}

CFrame::~CFrame() {
  close();
  cairo_surface_destroy(buffer_);
}

bool CFrame::addView(CView* view) {
  if (!view || isChild(view)) return false;
  views_.push_back(view);
  view->attached(this);
  view->setDirty(true);
  return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
  const auto found = std::find(views_.begin(), views_.end(), view);
  if (found == views_.end()) return false;
  if (view == focusView_) setFocusView(nullptr);
  if (view == mouseDownView_) cancelDrag();
  views_.erase(found);
  for (CView** pointer : {&modalView_, &mouseDownView_, &mouseOverView_})
    if (*pointer == view) *pointer = nullptr;
  invalidRect(view->getViewSize());
  view->removed();
  if (withForget) view->forget();
  return true;
}

void CFrame::removeAll(bool withForget) {
  while (!views_.empty()) removeView(views_.back(), withForget);
}

CView* CFrame::getView(int index) const {
  return index >= 0 && index < getNbViews() ? views_[static_cast<std::size_t>(index)] : nullptr;
}

bool CFrame::isChild(const CView* view) const {
  return std::find(views_.begin(), views_.end(), view) != views_.end();
}

void CFrame::draw(CDrawContext* context) {
  drawRect(context, size_);
}

void CFrame::drawRect(CDrawContext* context, const CRect& update) {
  CRect area = update;
  area.bound(size_);
  if (area.isEmpty()) return;
  context->setClipRect(area);
  cairo_t* cr = context->cairo();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_restore(cr);
  if (background_) background_->draw(context, size_, backOffset_);
  dirty_ = false;
  for (CView* view : views_) {
    CRect clip = view->getViewSize();
    clip.bound(area);
    if (!view->isVisible() || clip.isEmpty()) continue;
    context->setClipRect(clip);
    view->draw(context);
  }
  context->resetClipRect();
}

CView* CFrame::viewAt(const CPoint& where) const {
  if (modalView_) return hits(modalView_, where) ? modalView_ : nullptr;
  for (auto view = views_.rbegin(); view != views_.rend(); ++view)
    if (hits(*view, where)) return *view;
  return nullptr;
}

void CFrame::cancelDrag() {
  CView* view = mouseDownView_;
  mouseDownView_ = nullptr;
  dragButtons_ = 0;
  if (view) view->onMouseCancel();
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const long& buttons) {
  currentButtons_ = buttons;
  // Another button pressed during a drag: the drag goes on, the press goes nowhere.
  if (mouseDownView_) return kMouseEventHandled;
  if (popup_) {
    // A click beside an open pop-up closes it and does nothing else.
    closePopup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  const auto offer = [&](CView* view) {
    CMouseEventResult result = view->onMouseDown(where, buttons);
    if (result == kMouseEventNotHandled) return result;
    // The view may have closed a modal view or removed itself while it handled the click.
    if (!isChild(view)) return result;
    setFocusView(view->wantsFocus() ? view : nullptr);
    if (result == kMouseEventHandled) {
      mouseDownView_ = view;
      dragButtons_ = buttons & kMouseButtons;
    }
    return result;
  };
  if (modalView_) return hits(modalView_, where) ? offer(modalView_) : kMouseEventNotHandled;
  // From the top down, until a view takes the click.
  for (std::size_t i = views_.size(); i-- > 0;) {
    if (i >= views_.size() || !hits(views_[i], where)) continue;
    const CMouseEventResult result = offer(views_[i]);
    if (result != kMouseEventNotHandled) return result;
  }
  // A click on nothing takes the keys away from the view that had them.
  setFocusView(nullptr);
  return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const long& buttons) {
  currentButtons_ = buttons;
  CMouseEventResult result = kMouseEventNotHandled;
  if (CView* view = mouseDownView_) {
    // `buttons` are those still held: the release of a button pressed during the drag
    // leaves it going.
    if (dragButtons_ && (buttons & dragButtons_) == dragButtons_) return kMouseEventHandled;
    mouseDownView_ = nullptr;
    dragButtons_ = 0;
    result = view->onMouseUp(where, buttons);
  }
  track(where, buttons & ~kMouseButtons);
  return result;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const long& buttons) {
  currentButtons_ = buttons;
  if (mouseDownView_) {
    // A drag is no loop of ours: the host's idle, which reads the events, goes on.
    return mouseDownView_->onMouseMoved(where, buttons);
  }
  // Hover: a button held since a press elsewhere drags nothing here.
  const long hover = buttons & ~kMouseButtons;
  track(where, hover);
  if (mouseOverView_) return mouseOverView_->onMouseMoved(where, hover);
  return kMouseEventNotHandled;
}

void CFrame::track(CPoint& where, const long& buttons) {
  CView* over = viewAt(where);
  if (over == mouseOverView_) return;
  if (mouseOverView_) mouseOverView_->onMouseExited(where, buttons);
  mouseOverView_ = over;
  if (over) over->onMouseEntered(where, buttons);
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const long& buttons) {
  if (mouseOverView_ && !mouseDownView_) {
    CView* view = mouseOverView_;
    mouseOverView_ = nullptr;
    view->onMouseExited(where, buttons);
  }
  return kMouseEventHandled;
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const long& buttons) {
  currentButtons_ = buttons;
  if (modalView_) return hits(modalView_, where) && modalView_->onWheel(where, distance, buttons);
  for (std::size_t i = views_.size(); i-- > 0;)
    if (i < views_.size() && hits(views_[i], where) && views_[i]->onWheel(where, distance, buttons))
      return true;
  return false;
}

long CFrame::onKeyDown(VstKeyCode& key) {
  if (popup_) {
    popupKeyDown(key);
    return 1;
  }
  if (modalView_) return modalView_->onKeyDown(key);
  return focusView_ ? focusView_->onKeyDown(key) : -1;
}

long CFrame::onKeyUp(VstKeyCode& key) {
  if (popup_) return 1;
  if (modalView_) return modalView_->onKeyUp(key);
  return focusView_ ? focusView_->onKeyUp(key) : -1;
}

void CFrame::setFocusView(CView* view) {
  if (view == focusView_) return;
  CView* old = focusView_;
  focusView_ = view;
  if (old) old->looseFocus();
  // The old view may have moved the focus again while it let go.
  if (view && focusView_ == view) view->takeFocus();
}

void CFrame::setKeyboardFocus(bool take) {
  if (window_) window_->setKeyboardFocus(take);
}

void CFrame::onKeyboardFocusLost() {
  setFocusView(nullptr);
}

bool CFrame::setModalView(CView* view) {
  if (view && modalView_) return false;
  if (modalView_) {
    // The modal view is the frame's only while it is shown.
    CView* old = modalView_;
    modalView_ = nullptr;
    removeView(old, false);
  }
  if (view) {
    if (!addView(view)) return false;
    modalView_ = view;
    // A drag in progress ends: only the modal view hears the mouse now.
    cancelDrag();
  }
  return true;
}

void CFrame::setDirty(bool dirty) {
  dirty_ = dirty;
  for (CView* view : views_) view->setDirty(dirty);
}

bool CFrame::isDirty() const {
  return dirty_ || std::any_of(views_.begin(), views_.end(), [](const CView* view) {
           return view->isVisible() && view->isDirty();
         });
}

void CFrame::invalidRect(const CRect& rect) {
  invalidArea_.unite(rect);
}

void CFrame::idle() {
  // The idle work of a control may come back here through the host; once is enough.
  if (inIdle_) return;
  inIdle_ = true;
  if (window_) window_->handleEvents(*this);
  // A view may remove views while it runs.
  const std::vector<CView*> views = views_;
  for (CView* view : views)
    if (isChild(view)) view->onIdle();
  drawDirty();
  inIdle_ = false;
}

void CFrame::redraw() {
  invalidRect(size_);
  drawDirty();
}

void CFrame::drawDirty() {
  CRect area = invalidArea_;
  if (dirty_) area = size_;
  // A hidden view draws nothing, so its being dirty asks for nothing.
  for (CView* view : views_)
    if (view->isVisible() && view->isDirty()) area.unite(view->getViewSize());
  invalidArea_ = CRect();
  area.bound(size_);
  if (area.isEmpty()) return;
  {
    CDrawContext context(buffer_);
    drawRect(&context, area);
  }
  cairo_surface_flush(buffer_);
  present(area);
}

void CFrame::redrawArea(const CRect& area) {
  drawDirty();
  present(area);
}

void CFrame::present(const CRect& area) {
  if (window_) window_->present(buffer_, area);
}

bool CFrame::openPopup(PopupContent* content, const CPoint& origin) {
  closePopup();
  if (!content) return false;
  const CPoint size = content->popupSize();
  if (size.x < 1 || size.y < 1) return false;
  if (window_ && !window_->showPopup(origin, size)) return false;
  popup_ = content;
  popupOrigin_ = origin;
  popupBuffer_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.x),
                                            static_cast<int>(size.y));
  drawPopup();
  return true;
}

void CFrame::closePopup() {
  if (!popup_) return;
  PopupContent* content = popup_;
  popup_ = nullptr;
  if (window_) window_->hidePopup();
  cairo_surface_destroy(popupBuffer_);
  popupBuffer_ = nullptr;
  content->popupClosed();
}

void CFrame::drawPopup() {
  if (!popup_) return;
  {
    CDrawContext context(popupBuffer_);
    popup_->drawPopup(&context);
  }
  cairo_surface_flush(popupBuffer_);
  if (window_) window_->presentPopup(popupBuffer_);
}

void CFrame::afterPopupEvent(bool redraw) {
  if (!popup_) return;
  if (popup_->popupFinished())
    closePopup();
  else if (redraw)
    drawPopup();
}

void CFrame::popupMouseMoved(const CPoint& where) {
  if (popup_) afterPopupEvent(popup_->popupMouseMoved(where));
}

void CFrame::popupMouseDown(const CPoint& where, long buttons) {
  if (popup_) afterPopupEvent(popup_->popupMouseDown(where, buttons));
}

void CFrame::popupMouseUp(const CPoint& where, long buttons) {
  if (popup_) afterPopupEvent(popup_->popupMouseUp(where, buttons));
}

void CFrame::popupKeyDown(const VstKeyCode& key) {
  if (popup_) afterPopupEvent(popup_->popupKeyDown(key));
}

bool CFrame::close() {
  closePopup();
  cancelDrag();
  setFocusView(nullptr);
  modalView_ = nullptr;
  removeAll();
  window_.reset();
  return true;
}

void CFrame::setPlatformWindow(std::unique_ptr<PlatformWindow> window) {
  window_ = std::move(window);
  invalidRect(size_);
}

}  // namespace VSTGUI
