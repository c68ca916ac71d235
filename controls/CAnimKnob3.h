#pragma once
// The panel's rotary knob. A drag up or to the right raises it, and upward motion counts
// twice: a full-range drag is 1000 x rangeZoom pixels of that sum, shiftZoom times as far
// while Shift is held. Changing Shift mid-drag keeps the value where it is and only changes
// the rate. Command-click or a double click set the default; the wheel moves it by 0.01
// a step (0.001 with Shift). Every gesture is one edit bracket for the host.

#include "gui/CAnimKnob.h"

class CAnimKnob3 : public VSTGUI::CAnimKnob {
 public:
  // frameHeight must not be 0; width plays no part in drawing.
  CAnimKnob3(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
             int frameCount, int width, int frameHeight, VSTGUI::CBitmap* background,
             const VSTGUI::CPoint& offset);

  // Which frame a value between two frames shows: the nearest (a continuous knob), or the
  // step the effect uses, counted from the bottom (a stepped knob: the effect takes step
  // trunc(steps x value), and only the top of the range reaches the last one).
  enum class FramePick { kNearest, kStepInUse };
  void setFramePick(FramePick pick) { framePick_ = pick; }

  void setShiftZoom(double zoom) { shiftZoom_ = zoom; }
  double getShiftZoom() const { return shiftZoom_; }
  bool isFineMode() const { return fineMode_; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const long& buttons) override;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const long& buttons) override;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CAnimKnob3") == 0 || CAnimKnob::isTypeOf(name);
  }

  // The drag length for the full range, in thousands of pixels.
  double rangeZoom = 1.0;

 private:
  // Pixels for the full range with or without Shift; sets fineMode.
  float dragRangeFor(long buttons);

  FramePick framePick_ = FramePick::kNearest;
  double shiftZoom_ = 5.0;
  bool fineMode_ = false;
  float entryValue_ = 0.0f;
  float dragCoef_ = 0.0f;
  float dragRange_ = 0.0f;
  long dragButtons_ = 0;
  VSTGUI::CPoint downPoint_;
  VSTGUI::CPoint lastPoint_;
  VSTGUI::CPoint dragAccumulator_;
};
