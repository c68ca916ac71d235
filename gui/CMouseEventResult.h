#pragma once
// What a view answers to a mouse event, and the bits of the button-state word every mouse
// handler receives.

namespace VSTGUI {

enum CMouseEventResult {
  // Handled; the view wants the moves and the release that follow.
  kMouseEventHandled,
  kMouseEventNotHandled,
  // Handled; the gesture ends here.
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

enum CButton : long {
  kLButton = 2,
  kMButton = 4,
  kRButton = 8,
  kShift = 16,
  // The Mac's Command key; the Ctrl key here.
  kControl = 32,
  // The Mac's Option key; the Alt key here.
  kAlt = 64,
  // The Mac's Control key, which Linux keyboards have no separate key for.
  kApple = 128,
  kButton4 = 256,
  kButton5 = 512,
  kDoubleClick = 1024,
};

}  // namespace VSTGUI
