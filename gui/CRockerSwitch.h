#pragma once
// A two-sided switch that springs back: -1 while pushed on its left (or top) side, +1 on
// its right (or bottom) side, 0 at rest. A wheel step pushes it for 200 ms; the frame's
// idle lets it spring back, so it needs no timer or thread of its own.

#include <chrono>

#include "gui/CControl.h"

namespace VSTGUI {

enum CRockerStyle { kHorizontal = 1, kVertical = 2 };

class CRockerSwitch : public CControl {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kWheelReturn{200};

  CRockerSwitch(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(), long style = kHorizontal);

  // Frame 0 for -1, 1 at rest, 2 for +1.
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const long& buttons) override;
  // Springs back once the wheel's push has lasted its time.
  void onIdle() override;

  long getStyle() const { return style_; }
  bool isWheelPushed() const { return wheelPushed_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CRockerSwitch") == 0 || CControl::isTypeOf(name);
  }

 protected:
  // The clock the spring-back follows; tests may turn it forward.
  virtual Clock::time_point now() const { return Clock::now(); }
  void springBack();

  CCoord heightOfOneImage_;
  CPoint offset_;
  long style_;
  bool wheelPushed_ = false;
  Clock::time_point returnAt_{};
};

}  // namespace VSTGUI
