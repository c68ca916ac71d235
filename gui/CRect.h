#pragma once
// A rectangle in frame coordinates. Left and top are inside, right and bottom are the first
// column and row outside, so width is right - left.

#include <algorithm>

#include "gui/CPoint.h"

namespace VSTGUI {

struct CRect {
  CCoord left = 0, top = 0, right = 0, bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
  // The rectangle of the given size with its top-left corner at `origin`.
  static constexpr CRect at(CPoint origin, CCoord width, CCoord height) {
    return {origin.x, origin.y, origin.x + width, origin.y + height};
  }

  constexpr CCoord width() const { return right - left; }
  constexpr CCoord height() const { return bottom - top; }
  constexpr CPoint topLeft() const { return {left, top}; }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }

  CRect& offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  CRect& moveTo(CPoint origin) { return offset(origin.x - left, origin.y - top); }

  // Edges excluded on the right and at the bottom, as pixels are.
  constexpr bool pointInside(CPoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool rectOverlap(const CRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  // The part of this rectangle inside `other` (empty when they do not overlap).
  CRect& bound(const CRect& other) {
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::max(left, std::min(right, other.right));
    bottom = std::max(top, std::min(bottom, other.bottom));
    return *this;
  }
  // The smallest rectangle holding both; an empty rectangle adds nothing.
  CRect& unite(const CRect& other) {
    if (other.isEmpty()) return *this;
    if (isEmpty()) return *this = other;
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
    return *this;
  }
  constexpr bool operator==(const CRect&) const = default;
};

}  // namespace VSTGUI
