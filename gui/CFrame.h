#pragma once
// The top of a panel: a view that holds the other views, draws them into its buffer in the
// order they were added, and hands them the mouse, the wheel and the keys.
//
// All drawing goes into an image of the frame's size; the frame's window, when it has one,
// only ever shows that image, so a panel looks the same on screen and off screen, and a
// redraw never shows half a frame. idle() draws what was marked dirty since the last one.
//
// Mouse events go to the topmost view under the pointer that answers them. A view that
// handles a mouse-down gets the moves and the release of that button that follow,
// wherever the pointer goes; other presses meanwhile go nowhere, and a drag the frame has
// to give up (the view is removed, the frame closes, a modal view is set) is cancelled.
// Moves with no drag in progress are hover: views see them without the buttons, so a
// press that began beside a control never drags it. While a modal view is set, only it
// hears the mouse.

#include <memory>
#include <vector>

#include "gui/CView.h"

typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI {

class PlatformWindow;
class PopupContent;
class VSTGUIEditorInterface;

class CFrame : public CView {
 public:
  // With a parent window (an X11 window id) the frame opens its own child window in it;
  // without one it only draws into its buffer.
  CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor);
  ~CFrame() override;

  // The frame takes over the caller's reference to the view.
  bool addView(CView* view);
  // Without forget the caller gets the frame's reference back.
  bool removeView(CView* view, bool withForget = true);
  void removeAll(bool withForget = true);
  int getNbViews() const { return static_cast<int>(views_.size()); }
  CView* getView(int index) const;
  bool isChild(const CView* view) const;

  void draw(CDrawContext* context) override;
  // The background and every view that meets `update`, each clipped to it.
  void drawRect(CDrawContext* context, const CRect& update);

  CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
  // The pointer left the window.
  CMouseEventResult onMouseExited(CPoint& where, const long& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const long& buttons) override;
  long onKeyDown(VstKeyCode& key) override;
  long onKeyUp(VstKeyCode& key) override;

  // Shows `content` in a pop-up at `origin` (frame coordinates) until it finishes or is
  // closed; an open one is closed first. While it is open it has the mouse and the keys: a
  // click that reaches the frame instead closes it.
  bool openPopup(PopupContent* content, const CPoint& origin);
  void closePopup();
  PopupContent* getPopup() const { return popup_; }
  const CPoint& getPopupOrigin() const { return popupOrigin_; }
  // The pop-up's picture as last drawn.
  cairo_surface_t* getPopupBuffer() const { return popupBuffer_; }
  // The pop-up's events, in its own coordinates (from its window, or from a test).
  void popupMouseMoved(const CPoint& where);
  void popupMouseDown(const CPoint& where, long buttons);
  void popupMouseUp(const CPoint& where, long buttons);
  void popupKeyDown(const VstKeyCode& key);

  // False while another modal view is set; null clears it.
  bool setModalView(CView* view);
  CView* getModalView() const { return modalView_; }
  CView* getFocusView() const { return focusView_; }
  // Keys go to `view` from now on (null: to no view); the views hear of the change.
  void setFocusView(CView* view);
  // A view that edits text wants the typing of the desktop, not only what the host passes.
  void setKeyboardFocus(bool take);
  // The window lost the keyboard to another one: the focused view lets go of it.
  void onKeyboardFocusLost();
  // The buttons and modifiers held now, as the last event told them.
  long getCurrentMouseButtons() const { return currentButtons_; }
  void setCurrentMouseButtons(long buttons) { currentButtons_ = buttons; }

  // The whole frame is drawn again at the next idle.
  void setDirty(bool dirty = true) override;
  bool isDirty() const override;
  // A place to draw again at the next idle that no view will ask for itself: where a view
  // was removed, moved away from or hidden.
  void invalidRect(const CRect& rect);
  // Handles the window's pending events, then draws what is dirty and shows it.
  void idle();
  // Draws everything now.
  void redraw();
  // Draws what is dirty, then shows `area` (the window was uncovered there).
  void redrawArea(const CRect& area);
  // False when a parent window was given but no window could be opened in it.
  bool hasWindow() const { return window_ != nullptr; }
  // Removes the views and the window; the frame draws nothing more.
  bool close();

  VSTGUIEditorInterface* getEditor() const { return editor_; }
  void* getSystemWindow() const { return parentWindow_; }
  void setPlatformWindow(std::unique_ptr<PlatformWindow> window);
  PlatformWindow* getPlatformWindow() const { return window_.get(); }
  // The frame's picture as last drawn, ARGB of the frame's size.
  cairo_surface_t* getBuffer() const { return buffer_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CFrame") == 0 || CView::isTypeOf(name);
  }

 private:
  CView* viewAt(const CPoint& where) const;
  void track(CPoint& where, const long& buttons);
  // The view that took the mouse-down loses it without a release.
  void cancelDrag();
  void drawDirty();
  void present(const CRect& area);
  void drawPopup();
  // After a pop-up's event: drawn again if it asked, closed if it is done.
  void afterPopupEvent(bool redraw);

  void* parentWindow_;
  VSTGUIEditorInterface* editor_;
  std::vector<CView*> views_;
  CView* modalView_ = nullptr;
  CView* mouseDownView_ = nullptr;
  // The buttons held when the drag began: the release of one of them ends it.
  long dragButtons_ = 0;
  CView* mouseOverView_ = nullptr;
  CView* focusView_ = nullptr;
  long currentButtons_ = 0;
  bool inIdle_ = false;
  CRect invalidArea_;
  cairo_surface_t* buffer_ = nullptr;
  PopupContent* popup_ = nullptr;
  CPoint popupOrigin_;
  cairo_surface_t* popupBuffer_ = nullptr;
  std::unique_ptr<PlatformWindow> window_;
};

}  // namespace VSTGUI
