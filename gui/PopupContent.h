#pragma once
// What a frame shows in a pop-up of its own above the panel (a menu's list): it draws
// itself in its own coordinates and answers the mouse and the keys while it is open. On
// the desktop the pop-up is a window of its own that may reach past the panel; without a
// window the frame keeps its picture in a buffer of its own.

#include "gui/CKeyCode.h"
#include "gui/CRect.h"

namespace VSTGUI {

class CDrawContext;

class PopupContent {
 public:
  virtual ~PopupContent() = default;
  // The pop-up's size in pixels.
  virtual CPoint popupSize() const = 0;
  virtual void drawPopup(CDrawContext* context) = 0;
  // Points are in the pop-up's coordinates; a point outside its size is outside it. Each
  // returns true when the pop-up needs drawing again.
  virtual bool popupMouseMoved(const CPoint& where) = 0;
  virtual bool popupMouseDown(const CPoint& where, long buttons) = 0;
  virtual bool popupMouseUp(const CPoint& where, long buttons) = 0;
  virtual bool popupKeyDown(const VstKeyCode& key) = 0;
  // True once the pop-up has done its work and is to be closed.
  virtual bool popupFinished() const = 0;
  // The pop-up was closed (by itself or by the frame); it must not be shown again.
  virtual void popupClosed() = 0;
};

}  // namespace VSTGUI
