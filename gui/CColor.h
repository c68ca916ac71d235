#pragma once
// An 8-bit RGBA colour and the named colours the panels use.

#include <cstdint>

namespace VSTGUI {

struct CColor {
  std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
  constexpr bool operator==(const CColor&) const = default;
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kDarkGreyCColor{50, 50, 50, 255};
inline constexpr CColor kTransparentCColor{255, 255, 255, 0};

}  // namespace VSTGUI
