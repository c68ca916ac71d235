#pragma once
// A point in frame coordinates: x to the right, y downwards, in pixels.

namespace VSTGUI {

using CCoord = double;

struct CPoint {
  CCoord x = 0;
  CCoord y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(CCoord px, CCoord py) : x(px), y(py) {}
  CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  constexpr bool operator==(const CPoint&) const = default;
};

}  // namespace VSTGUI
