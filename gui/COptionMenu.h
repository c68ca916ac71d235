#pragma once
// A menu behind a small control: a click opens the list of its entries in a pop-up, in
// columns of a given number of entries, with the current entry marked. The pointer lights
// the entry under it; a release on an entry, or Return on the lit one, chooses it and tells
// the listener (the value is the entry's index); Escape or a click outside closes the list
// without choosing. Up and Down move the light.
//
// Styles: the bits of kMenuLookStyle (as the preset strip sets them) draw the control as
// its background alone, with the current entry marked by a check and the lit entry by a
// bar; without kMenuNoTextStyle the control also shows the current entry's title.

#include <string>
#include <vector>

#include "gui/CParamDisplay.h"
#include "gui/PopupContent.h"

namespace VSTGUI {

enum COptionMenuStyle : long {
  kMenuCheckStyle = 1 << 9,
  kMenuNoFrameStyle = 1 << 10,
  kMenuNoTextStyle = 1 << 11,
  kMenuHoverStyle = 1 << 12,
  kMenuLookStyle = kMenuCheckStyle | kMenuNoFrameStyle | kMenuNoTextStyle | kMenuHoverStyle,
};

class COptionMenu : public CParamDisplay, public PopupContent {
 public:
  COptionMenu(const CRect& size, CControlListener* listener, long tag,
              CBitmap* background = nullptr, long style = 0);
  ~COptionMenu() override;

  bool addEntry(const char* title);
  int getNbEntries() const { return static_cast<int>(entries_.size()); }
  // The entry's title; empty for an index out of range.
  const std::string& getEntry(int index) const;
  bool setEntry(int index, const char* title);
  void removeAllEntry();
  // Out of range: nothing changes.
  bool setCurrent(int index);
  int getCurrentIndex() const { return current_; }
  const std::string& getCurrentTitle() const { return getEntry(current_); }
  void setNbItemsPerColumn(int count) { perColumn_ = count > 0 ? count : 1; }
  int getNbItemsPerColumn() const { return perColumn_; }

  bool isOpen() const { return open_; }
  // The lit entry of the open list (-1: none).
  int getHighlighted() const { return highlighted_; }
  // Where an entry lies in the pop-up, in its coordinates.
  CRect entryRect(int index) const;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const long& buttons) override;
  void removed() override;

  CPoint popupSize() const override;
  void drawPopup(CDrawContext* context) override;
  bool popupMouseMoved(const CPoint& where) override;
  bool popupMouseDown(const CPoint& where, long buttons) override;
  bool popupMouseUp(const CPoint& where, long buttons) override;
  bool popupKeyDown(const VstKeyCode& key) override;
  bool popupFinished() const override { return !open_; }
  void popupClosed() override;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "COptionMenu") == 0 || CParamDisplay::isTypeOf(name);
  }

 private:
  int entryAt(const CPoint& where) const;
  void choose(int index);
  double columnWidth() const;

  std::vector<std::string> entries_;
  int current_ = 0;
  int perColumn_ = 12;
  int highlighted_ = -1;
  bool open_ = false;
  // Releases choose only once the pointer has been in the list: the release of the click
  // that opened it must not choose whatever lies beneath.
  bool armed_ = false;
};

}  // namespace VSTGUI
