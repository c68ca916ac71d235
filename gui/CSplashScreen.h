#pragma once
// A control that opens a picture over the panel as the frame's modal view when clicked,
// and closes it with unSplash. The value is 1 while the picture is shown.

#include "gui/CControl.h"

namespace VSTGUI {

class CSplashScreen : public CControl, public CControlListener {
 public:
  // `display` is where the picture goes, in frame coordinates; `offset` its source offset.
  CSplashScreen(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                const CRect& display, const CPoint& offset = CPoint());
  ~CSplashScreen() override;

  CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
  // Leaving the frame takes the picture off it first: it calls back to this control.
  void removed() override;
  // The value back to the minimum, and the picture off the panel if it is shown.
  virtual void unSplash();
  // From the picture's view: a click on it closes it.
  void valueChanged(CControl* control) override;

  const CRect& getDisplayRect() const { return display_; }
  const CPoint& getOffset() const { return offset_; }
  // The view shown while open, or null.
  CView* getModalView() const { return modalView_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CSplashScreen") == 0 || CControl::isTypeOf(name);
  }

 protected:
  CRect display_;
  CPoint offset_;
  CView* modalView_ = nullptr;
};

}  // namespace VSTGUI
