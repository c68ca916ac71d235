#pragma once
// The about view: the about picture with the version over the panel, shown as the frame's
// modal view until a left click on it.

#include "gui/CView.h"

namespace VSTGUI {
class CSplashScreen;
}

class CSplashScreenMyView : public VSTGUI::CView {
 public:
  CSplashScreenMyView(const VSTGUI::CRect& size, VSTGUI::CSplashScreen* splashScreen,
                      const VSTGUI::CPoint& extra, const VSTGUI::CPoint& offset,
                      const char* version);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;

  const char* getVersion() const { return version_; }
  const VSTGUI::CPoint& getExtraPoint() const { return extra_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CSplashScreenMyView") == 0 || CView::isTypeOf(name);
  }

 private:
  VSTGUI::CSplashScreen* splashScreen_;
  VSTGUI::CPoint offset_;
  VSTGUI::CPoint extra_;
  char version_[256];
};
