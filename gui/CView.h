#pragma once
// A rectangle of the panel that draws itself and may answer the mouse, the wheel and keys.
// Views live in a frame, which owns them once added, draws them in the order they were
// added and gives the events to the one under the pointer.

#include "gui/CBaseObject.h"
#include "gui/CKeyCode.h"
#include "gui/CMouseEventResult.h"
#include "gui/CRect.h"

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CFrame;

class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  ~CView() override;

  // Draws the background, if any, from its offset; views draw in frame coordinates.
  virtual void draw(CDrawContext* context);

  virtual CMouseEventResult onMouseDown(CPoint& where, const long& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const long& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const long& buttons);
  virtual CMouseEventResult onMouseEntered(CPoint& where, const long& buttons);
  virtual CMouseEventResult onMouseExited(CPoint& where, const long& buttons);
  // The frame gave up the drag this view took with a mouse-down (the view is being
  // removed, the editor closes, a modal view took the mouse): no release will come.
  virtual void onMouseCancel() {}
  // distance: wheel steps, positive away from the user.
  virtual bool onWheel(const CPoint& where, const float& distance, const long& buttons);
  // 1 when the key was used, -1 when not.
  virtual long onKeyDown(VstKeyCode& key);
  virtual long onKeyUp(VstKeyCode& key);

  // The frame's idle, before it draws: for views with time-based behaviour.
  virtual void onIdle() {}

  // The one way a view asks to be drawn again: a dirty view (a control also when its value
  // differs from the one it last drew) is drawn at the frame's next idle, and drawing
  // clears it. The frame's own damage (CFrame::invalidRect) is only for places no view
  // will draw: a view removed, moved away or hidden.
  virtual bool isDirty() const { return dirty_; }
  virtual void setDirty(bool dirty = true) { dirty_ = dirty; }
  // The same as setDirty(true).
  void invalid();

  const CRect& getViewSize() const { return size_; }
  virtual void setViewSize(const CRect& size);
  const CRect& getMouseableArea() const { return mouseableArea_; }
  void setMouseableArea(const CRect& area) { mouseableArea_ = area; }
  bool getMouseEnabled() const { return mouseEnabled_; }
  void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool isVisible() const { return visible_; }
  void setVisible(bool visible);
  bool wantsFocus() const { return wantsFocus_; }
  void setWantsFocus(bool wants) { wantsFocus_ = wants; }
  // The frame's keys now come to this view, or no longer do.
  virtual void takeFocus() {}
  virtual void looseFocus() {}

  // The view holds its own reference to the background.
  void setBackground(CBitmap* background);
  CBitmap* getBackground() const { return background_; }
  void setBackOffset(const CPoint& offset) { backOffset_ = offset; }
  const CPoint& getBackOffset() const { return backOffset_; }
  void setTransparency(bool transparent) { transparent_ = transparent; }
  bool getTransparency() const { return transparent_; }

  CFrame* getFrame() const { return frame_; }
  virtual void attached(CFrame* frame) { frame_ = frame; }
  virtual void removed() { frame_ = nullptr; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CView") == 0 || CBaseObject::isTypeOf(name);
  }

 protected:
  CRect size_;
  CRect mouseableArea_;
  CFrame* frame_ = nullptr;
  CBitmap* background_ = nullptr;
  CPoint backOffset_;
  bool dirty_ = false;
  bool mouseEnabled_ = true;
  bool visible_ = true;
  bool transparent_ = false;
  bool wantsFocus_ = false;
};

}  // namespace VSTGUI
