// The pop-up menu through its frame, with no window: how it opens, what the pointer and
// the keys do in the list, and that nothing is chosen by accident.

#include <gtest/gtest.h>

#include <string>

#include "gui/CFrame.h"
#include "gui/COptionMenu.h"

using namespace VSTGUI;

namespace {

struct Choices : CControlListener {
  void valueChanged(CControl* control) override { chosen.push_back(control->getValue()); }
  std::vector<float> chosen;
};

class OptionMenu : public testing::Test {
 protected:
  OptionMenu() : frame_(CRect(0, 0, 400, 200), nullptr, nullptr) {
    menu_ = new COptionMenu(CRect(100, 100, 112, 114), &choices_, 104, nullptr, kMenuLookStyle);
    for (const char* name : {"Default", "Warm", "Air", "Low cut", "Presence", "Mix bus", "Vox"})
      menu_->addEntry(name);
    menu_->setCurrent(2);
    frame_.addView(menu_);
  }
  void open() {
    CPoint where(105, 105);
    frame_.onMouseDown(where, kLButton);
    ASSERT_TRUE(menu_->isOpen());
  }
  CPoint centre(int entry) const {
    const CRect rect = menu_->entryRect(entry);
    return CPoint(rect.left + rect.width() / 2, rect.top + rect.height() / 2);
  }
  void key(unsigned char virt) {
    VstKeyCode code;
    code.virt = virt;
    frame_.onKeyDown(code);
  }

  CFrame frame_;
  Choices choices_;
  COptionMenu* menu_;
};

TEST_F(OptionMenu, OpensUnderTheControlWithTheCurrentEntryLit) {
  open();
  EXPECT_EQ(frame_.getPopup(), menu_);
  EXPECT_EQ(frame_.getPopupOrigin().x, 100);
  EXPECT_EQ(frame_.getPopupOrigin().y, 114);
  EXPECT_EQ(menu_->getHighlighted(), 2);
  // Seven entries make one column; the picture has the list's size.
  EXPECT_EQ(cairo_image_surface_get_height(frame_.getPopupBuffer()),
            static_cast<int>(menu_->popupSize().y));
  EXPECT_LT(menu_->entryRect(6).top, menu_->popupSize().y);
  EXPECT_EQ(menu_->entryRect(6).left, menu_->entryRect(0).left);
}

TEST_F(OptionMenu, PointerLightsAndAReleaseChooses) {
  open();
  // The release of the opening click, over another entry, chooses nothing.
  frame_.popupMouseUp(centre(5), 0);
  EXPECT_TRUE(menu_->isOpen());
  frame_.popupMouseMoved(centre(4));
  EXPECT_EQ(menu_->getHighlighted(), 4);
  frame_.popupMouseDown(centre(4), kLButton);
  frame_.popupMouseUp(centre(4), 0);
  EXPECT_FALSE(menu_->isOpen());
  EXPECT_EQ(frame_.getPopup(), nullptr);
  EXPECT_EQ(choices_.chosen, std::vector<float>{4.0f});
  EXPECT_EQ(menu_->getCurrentIndex(), 4);
  EXPECT_EQ(menu_->getCurrentTitle(), "Presence");
}

TEST_F(OptionMenu, KeysMoveTheLightAndReturnOrEscapeEndIt) {
  open();
  key(VKEY_DOWN);
  key(VKEY_DOWN);
  key(VKEY_UP);
  EXPECT_EQ(menu_->getHighlighted(), 3);
  key(VKEY_END);
  key(VKEY_DOWN);
  EXPECT_EQ(menu_->getHighlighted(), 6) << "the light stays in the list";
  key(VKEY_RETURN);
  EXPECT_EQ(choices_.chosen, std::vector<float>{6.0f});

  open();
  key(VKEY_HOME);
  key(VKEY_ESCAPE);
  EXPECT_FALSE(menu_->isOpen());
  EXPECT_EQ(choices_.chosen.size(), 1u);
  EXPECT_EQ(menu_->getCurrentIndex(), 6);
}

TEST_F(OptionMenu, ClicksOutsideCloseWithoutChoosing) {
  open();
  // Outside the list, as the pop-up window reports it.
  frame_.popupMouseDown(CPoint(-20, 5), kLButton);
  EXPECT_FALSE(menu_->isOpen());
  // On the panel, as a frame without a pop-up window of its own hears it.
  open();
  CPoint elsewhere(10, 10);
  frame_.onMouseDown(elsewhere, kLButton);
  EXPECT_FALSE(menu_->isOpen());
  EXPECT_TRUE(choices_.chosen.empty());
  EXPECT_EQ(menu_->getCurrentIndex(), 2);
  // Closing the frame with the list open closes the list first.
  open();
  frame_.close();
  EXPECT_EQ(frame_.getPopup(), nullptr);
}

TEST(OptionMenuLayout, TwelveEntriesAColumn) {
  CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
  auto* menu = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 1);
  for (int i = 0; i < 14; ++i) menu->addEntry(("Entry " + std::to_string(i)).c_str());
  frame.addView(menu);
  EXPECT_EQ(menu->entryRect(12).top, menu->entryRect(0).top);
  EXPECT_GT(menu->entryRect(12).left, menu->entryRect(11).left);
  EXPECT_EQ(menu->popupSize().y, menu->entryRect(11).bottom + 1);
  EXPECT_FALSE(menu->setCurrent(14));
  EXPECT_EQ(menu->getEntry(-1), "");
}

}  // namespace
