#pragma once
// The about area: draws nothing over the panel; a left click opens the about view as the
// frame's modal view (value 1), and a click on that view closes it again (value 0, which
// the editor learns by looking at the value).

#include "gui/CSplashScreen.h"

class CAbout : public VSTGUI::CSplashScreen {
 public:
  static constexpr const char* kVersionText = "1.8.0";

  CAbout(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
         VSTGUI::CBitmap* background, const VSTGUI::CRect& display, const VSTGUI::CPoint& offset,
         const VSTGUI::CPoint& extra);

  void draw(VSTGUI::CDrawContext*) override { setDirty(false); }
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;

  const VSTGUI::CPoint& getExtraPoint() const { return extra_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CAbout") == 0 || CSplashScreen::isTypeOf(name);
  }

 private:
  VSTGUI::CPoint extra_;
};
