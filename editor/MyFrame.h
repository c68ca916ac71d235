#pragma once
// The effect editor's frame, used exactly as the toolkit's frame.

#include "gui/CFrame.h"

class MyFrame : public VSTGUI::CFrame {
 public:
  MyFrame(const VSTGUI::CRect& size, void* parentWindow, VSTGUI::VSTGUIEditorInterface* editor)
      : CFrame(size, parentWindow, editor) {}

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "MyFrame") == 0 || CFrame::isTypeOf(name);
  }
};
