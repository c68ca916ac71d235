#pragma once
// The clip lamp: off (0), held (exactly 0.5) or lit (above 0.5), from a three-frame strip
// (off, held, lit from the top). The editor's idle pushes the state; a left click clears
// it and tells the listener, which clears its own record of the clip.

#include "gui/CControl.h"

class CLED : public VSTGUI::CControl {
 public:
  CLED(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
       VSTGUI::CBitmap* bitmap);
  ~CLED() override;

  virtual bool getHold() const { return value_ == 0.5f; }
  // Only stores the state, and never tells the listener (`notify` is ignored); the
  // change test draws it at the next idle.
  void setValue(float value, bool notify = false) override;
  virtual void resetHold() { setValue(0.0f); }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CLED") == 0 || CControl::isTypeOf(name);
  }

 private:
  VSTGUI::CBitmap* bitmap_;
  VSTGUI::CPoint litOffset_;
  VSTGUI::CPoint heldOffset_;
  VSTGUI::CPoint offOffset_;
};
