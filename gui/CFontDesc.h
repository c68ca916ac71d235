#pragma once
// A font by family, size in pixels at 1x, and style. The panel fonts are Helvetica's
// metric twin where fontconfig has one, else the desktop's sans-serif.

namespace VSTGUI {

enum CTxtFace { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2 };

struct CFontDesc {
  const char* name;
  double size;
  int style;
};

using CFontRef = const CFontDesc*;

inline constexpr CFontDesc kNormalFontVerySmallDesc{"Helvetica", 9, kNormalFace};
inline constexpr CFontDesc kNormalFontSmallDesc{"Helvetica", 11, kNormalFace};
inline constexpr CFontRef kNormalFontVerySmall = &kNormalFontVerySmallDesc;
inline constexpr CFontRef kNormalFontSmall = &kNormalFontSmallDesc;

}  // namespace VSTGUI
