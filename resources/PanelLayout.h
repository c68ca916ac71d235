#pragma once
// Where the panel's pieces sit and how large their pictures are, at 1x. The art generator
// draws the scales and labels around these places, and the editor puts its controls on
// them, so the two cannot drift apart.

namespace tavola::panel {

inline constexpr int kWidth = 720;
inline constexpr int kHeight = 352;

// Picture sizes of one frame of each kind of strip.
inline constexpr int kLargeKnob = 88;
inline constexpr int kSmallKnob = 42;
inline constexpr int kButtonWidth = 24;
inline constexpr int kButtonHeight = 14;
inline constexpr int kLampSize = 16;
inline constexpr int kAboutWidth = 384;
inline constexpr int kAboutHeight = 200;

// The images, by resource number.
enum ImageId : int {
  kBackground = 11500,
  kEqAllButton = 11510,
  kSatButton = 11518,
  kClipLamp = 11520,
  kHpfButton = 11540,
  kHpfFreqKnob = 11541,
  kLfButton = 11543,
  kLfFreqKnob = 11544,
  kMfButton = 11548,
  kMfFreqKnob = 11549,
  kHfButton = 11552,
  kHfGainKnob = 11553,
  kOutputKnob = 11562,
  kLfGainKnob = 11571,
  kMfGainKnob = 11573,
  kHfFreqKnob = 11575,
  kAboutPicture = 11580,
  // The preset strip's keys.
  kManualButton = 989,
  kDefaultPresetButton = 19899,
  kDefaultBankButton = 19990,
  kRecallAButton = 19991,
  kRecallBButton = 19992,
  kLoadBankButton = 19993,
  kSaveBankButton = 19994,
  kStoreAButton = 19995,
  kStoreBButton = 19996,
  kPresetRocker = 19997,
  kLoadPresetButton = 19998,
  kSavePresetButton = 19999,
};

struct Place {
  int x;
  int y;
};

inline constexpr Place kOutputKnobAt{594, 206};
inline constexpr Place kClipLampAt{630, 46};
inline constexpr Place kEqAllAt{53, 92};
inline constexpr Place kSatAt{622, 92};
inline constexpr Place kHpfAt{70, 180};
inline constexpr Place kHpfFreqAt{56, 206};
inline constexpr Place kLfAt{187, 30};
inline constexpr Place kLfFreqAt{174, 206};
inline constexpr Place kLfGainAt{153, 55};
inline constexpr Place kMfAt{334, 30};
inline constexpr Place kMfFreqAt{325, 62};
inline constexpr Place kMfGainAt{301, 158};
inline constexpr Place kHfAt{485, 30};
inline constexpr Place kHfFreqAt{476, 206};
inline constexpr Place kHfGainAt{451, 55};

// The latency read-outs and the about area, as rectangles.
struct Area {
  int left;
  int top;
  int right;
  int bottom;
};
inline constexpr Area kLatencyMsArea{120, 312, 165, 324};
inline constexpr Area kLatencySamplesArea{167, 312, 212, 324};
inline constexpr Area kAboutArea{286, 306, 436, 328};
// The preset strip along the bottom, and its controls.
inline constexpr Area kPresetStrip{0, 332, kWidth, kHeight};
inline constexpr Area kNameField{175, 336, 292, 350};
inline constexpr Area kPresetMenuArea{293, 336, 305, 350};
inline constexpr Area kPresetRockerArea{313, 336, 344, 350};
inline constexpr Area kLoadBankArea{70, 336, 82, 350};
inline constexpr Area kSaveBankArea{20, 336, 32, 350};
inline constexpr Area kDefaultBankArea{32, 338, 69, 348};
inline constexpr Area kLoadPresetArea{150, 336, 162, 350};
inline constexpr Area kSavePresetArea{91, 336, 103, 350};
inline constexpr Area kDefaultPresetArea{103, 338, 150, 348};
inline constexpr Area kRecallAArea{374, 336, 386, 350};
inline constexpr Area kStoreAArea{352, 336, 364, 350};
inline constexpr Area kRecallBArea{417, 336, 429, 350};
inline constexpr Area kStoreBArea{395, 336, 407, 350};
inline constexpr Area kManualArea{662, 336, 678, 350};
// The name field's display, whose colour the field's own background matches.
inline constexpr double kNameDisplayRed = 209 / 255.0;
inline constexpr double kNameDisplayGreen = 227 / 255.0;
inline constexpr double kNameDisplayBlue = 238 / 255.0;

}  // namespace tavola::panel
