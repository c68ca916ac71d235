#pragma once
// A key as the views receive it: the character, or a virtual key for keys without one, with
// the VST numbering, so that keys the host passes on arrive unchanged.

namespace VSTGUI {

enum VirtualKey : unsigned char {
  VKEY_BACK = 1,
  VKEY_TAB = 2,
  VKEY_RETURN = 4,
  VKEY_ESCAPE = 6,
  VKEY_SPACE = 7,
  VKEY_END = 9,
  VKEY_HOME = 10,
  VKEY_LEFT = 11,
  VKEY_UP = 12,
  VKEY_RIGHT = 13,
  VKEY_DOWN = 14,
  VKEY_ENTER = 19,
  VKEY_DELETE = 22,
};

enum KeyModifier : unsigned char {
  MODIFIER_SHIFT = 1,
  MODIFIER_ALTERNATE = 2,
  MODIFIER_COMMAND = 4,
  MODIFIER_CONTROL = 8,
};

struct VstKeyCode {
  long character = 0;
  unsigned char virt = 0;
  unsigned char modifier = 0;
};

}  // namespace VSTGUI
