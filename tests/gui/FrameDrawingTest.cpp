// The frame's buffer: bitmaps from embedded PNGs drawn a strip frame at a time, views drawn
// in the order they were added and clipped to what needs drawing, and idle drawing only
// what was marked dirty.

#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "support/GuiTestSupport.h"

using namespace VSTGUI;
using gui_test::pixel;

namespace {

constexpr CColor kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};
constexpr CColor kGrey{40, 40, 40, 255}, kClear{0, 0, 0, 0};

// A view that fills its rectangle and counts its draws.
class Patch : public CView {
 public:
  Patch(const CRect& size, CColor colour) : CView(size), colour_(colour) {}
  void draw(CDrawContext* context) override {
    context->setFillColor(colour_);
    context->fillRect(size_);
    ++draws;
    setDirty(false);
  }
  int draws = 0;

 private:
  CColor colour_;
};

class FrameDrawing : public testing::Test {
 protected:
  void SetUp() override {
    images_.add("bmp00042", gui_test::stripPng(6, 4, {kRed, kGreen, kBlue}));
    images_.add("bmp00043", gui_test::stripPng(100, 50, {kGrey}));
    images_.add("bmp00044", {'n', 'o', 't', ' ', 'p', 'n', 'g'});
    images_.publish();
  }
  gui_test::RegisteredImages images_;
};

TEST_F(FrameDrawing, BitmapsComeFromTheirResourceNames) {
  CBitmap strip(42);
  EXPECT_TRUE(strip.isLoaded());
  EXPECT_EQ(strip.getWidth(), 6);
  EXPECT_EQ(strip.getHeight(), 12);
  for (long missing : {41L, 44L, -1L, 100000L}) {
    CBitmap bitmap(missing);
    EXPECT_FALSE(bitmap.isLoaded()) << missing;
    EXPECT_EQ(bitmap.getWidth(), 0);
  }
}

TEST_F(FrameDrawing, AStripFrameIsDrawnWholeAndAlone) {
  CFrame frame(CRect(0, 0, 20, 20), nullptr, nullptr);
  auto* strip = new CBitmap(42);
  // The middle frame, at (5, 7): exactly its 6 x 4 pixels, nothing of the frames beside it.
  auto* view = new CView(CRect::at(CPoint(5, 7), 6, 4));
  view->setBackground(strip);
  view->setBackOffset(CPoint(0, 4));
  strip->forget();
  frame.addView(view);
  frame.idle();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 5 && x < 11 && y >= 7 && y < 11;
      EXPECT_EQ(pixel(frame, x, y), inside ? kGreen : kClear) << x << ", " << y;
    }
  // A source offset past the strip's end draws nothing rather than garbage.
  view->setBackOffset(CPoint(0, 12));
  frame.redraw();
  EXPECT_EQ(pixel(frame, 6, 8).alpha, 0);
}

TEST_F(FrameDrawing, OpacityAndOrderOfDrawing) {
  CFrame frame(CRect(0, 0, 100, 50), nullptr, nullptr);
  auto* background = new CBitmap(43);
  frame.setBackground(background);
  background->forget();
  frame.addView(new Patch(CRect(0, 0, 10, 10), kRed));
  frame.addView(new Patch(CRect(5, 5, 15, 15), kBlue));
  frame.idle();
  EXPECT_EQ(pixel(frame, 2, 2), kRed);
  EXPECT_EQ(pixel(frame, 7, 7), kBlue);  // added later, drawn on top
  EXPECT_EQ(pixel(frame, 50, 30), kGrey);

  CBitmap half(1, 1);
  CDrawContext(half.surface()).fillRect(CRect(0, 0, 1, 1));
  CDrawContext context(frame.getBuffer());
  half.draw(&context, CRect(60, 30, 61, 31), CPoint(), 0.5f);
  cairo_surface_flush(frame.getBuffer());
  // White at half opacity over grey 40: 40 + (255 - 40) / 2.
  EXPECT_NEAR(pixel(frame, 60, 30).red, 148, 1);
}

TEST_F(FrameDrawing, IdleDrawsOnlyWhatIsDirty) {
  CFrame frame(CRect(0, 0, 40, 20), nullptr, nullptr);
  auto* left = new Patch(CRect(0, 0, 10, 10), kRed);
  auto* right = new Patch(CRect(30, 0, 40, 10), kGreen);
  frame.addView(left);
  frame.addView(right);
  frame.idle();
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 1);
  frame.idle();
  EXPECT_EQ(left->draws + right->draws, 2) << "nothing changed, nothing drawn";
  right->setDirty();
  frame.idle();
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 2);
  // An invalid rectangle draws every view it meets, and only those.
  frame.invalidRect(CRect(5, 5, 6, 6));
  frame.idle();
  EXPECT_EQ(left->draws, 2);
  EXPECT_EQ(right->draws, 2);
  frame.setDirty(true);
  frame.idle();
  EXPECT_EQ(left->draws, 3);
  EXPECT_EQ(right->draws, 3);
}

TEST_F(FrameDrawing, TextIsDrawnInsideItsRectangleAndAligned) {
  CFrame frame(CRect(0, 0, 120, 20), nullptr, nullptr);
  CDrawContext context(frame.getBuffer());
  context.setFont(kNormalFontSmall);
  context.setFontColor(kBlackCColor);
  const CCoord width = context.getStringWidth("1.07ms");
  EXPECT_GT(width, 10);
  EXPECT_LT(width, 60);
  context.drawString("1.07ms", CRect(60, 0, 120, 20), kRightText);
  cairo_surface_flush(frame.getBuffer());
  int leftmost = 120, rightmost = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 120; ++x)
      if (pixel(frame, x, y).alpha > 100) {
        leftmost = std::min(leftmost, x);
        rightmost = std::max(rightmost, x);
      }
  EXPECT_GE(leftmost, 60) << "nothing left of the rectangle";
  EXPECT_GE(rightmost, 110) << "right-aligned text reaches the right edge";
}

}  // namespace
