#pragma once
// A line of text the user edits in place: a click starts editing, with the whole text
// selected so that typing replaces it; a caret, the arrows, Home and End, Backspace and
// Delete, Shift to extend the selection, Ctrl+A to select everything. Return, Tab or a
// click elsewhere (the focus moving away) ends the edit and tells the listener when the
// text changed; Escape puts the text back as it was.
//
// The text is UTF-8; the caret and the editing keys step over whole characters. While
// editing, the field takes the window's keyboard and gives it back at the end.

#include <cstddef>
#include <string>

#include "gui/CParamDisplay.h"

namespace VSTGUI {

class CTextEdit : public CParamDisplay {
 public:
  CTextEdit(const CRect& size, CControlListener* listener, long tag, const char* text = nullptr,
            CBitmap* background = nullptr, long style = 0);

  // A new text from outside ends an edit in progress without telling the listener.
  void setText(const char* text);
  // Copies the text into `text`, which holds 256 bytes, cut between characters.
  void getText(char* text) const;
  const std::string& text() const { return text_; }

  bool isEditing() const { return editing_; }
  // The caret and the other end of the selection, as byte offsets into the text.
  std::size_t caret() const { return caret_; }
  std::size_t selectionAnchor() const { return anchor_; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
  long onKeyDown(VstKeyCode& key) override;
  long onKeyUp(VstKeyCode& key) override;
  void takeFocus() override;
  void looseFocus() override;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CTextEdit") == 0 || CParamDisplay::isTypeOf(name);
  }

 private:
  void endEditing(bool keep);
  void insert(const std::string& typed);
  void eraseSelection();
  bool hasSelection() const { return caret_ != anchor_; }
  void moveCaret(std::size_t to, bool extend);
  // Where the text starts on screen and where a byte offset of it falls.
  double textOrigin() const;
  double xOf(std::size_t offset) const;
  std::size_t offsetAt(double x) const;
  void keepCaretVisible();

  std::string text_;
  std::string original_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  double scroll_ = 0;
  bool editing_ = false;
  bool selecting_ = false;
};

}  // namespace VSTGUI
