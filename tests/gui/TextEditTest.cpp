// Editing a line of text in place, as a user types into the preset name field: the keys,
// the caret over whole UTF-8 characters, and how an edit ends.

#include <gtest/gtest.h>

#include <string>

#include "gui/CFrame.h"
#include "gui/CTextEdit.h"
#include "gui/Utf8.h"

using namespace VSTGUI;

namespace {

struct Changes : CControlListener {
  void valueChanged(CControl* control) override {
    texts.push_back(static_cast<CTextEdit*>(control)->text());
  }
  std::vector<std::string> texts;
};

VstKeyCode virtualKey(unsigned char virt, unsigned char modifier = 0) {
  VstKeyCode key;
  key.virt = virt;
  key.modifier = modifier;
  return key;
}

class TextEdit : public testing::Test {
 protected:
  TextEdit() : frame_(CRect(0, 0, 300, 100), nullptr, nullptr) {
    field_ = new CTextEdit(CRect(10, 10, 200, 26), &changes_, 92, "Default");
    other_ = new CTextEdit(CRect(10, 40, 200, 56), nullptr, 93, "");
    frame_.addView(field_);
    frame_.addView(other_);
  }
  void clickAt(double x, double y, long buttons = kLButton) {
    CPoint where(x, y);
    frame_.onMouseDown(where, buttons);
    frame_.onMouseUp(where, 0);
  }
  void type(const std::string& text) {
    // One key per character, as the window decodes them.
    for (std::size_t at = 0; at < text.size(); at = utf8::next(text, at)) {
      VstKeyCode key;
      key.character = static_cast<long>(utf8::decodeFirst(std::string_view(text).substr(at)));
      frame_.onKeyDown(key);
    }
  }
  void press(unsigned char virt, unsigned char modifier = 0) {
    VstKeyCode key = virtualKey(virt, modifier);
    frame_.onKeyDown(key);
  }

  // Before the frame: closing the frame ends an edit, which the listener hears.
  Changes changes_;
  CFrame frame_;
  CTextEdit* field_;
  CTextEdit* other_;
};

TEST_F(TextEdit, AClickSelectsAllSoTypingReplacesAndReturnCommits) {
  VstKeyCode unused;
  unused.character = 'x';
  EXPECT_EQ(frame_.onKeyDown(unused), -1) << "no keys before a click";
  clickAt(100, 18);
  EXPECT_TRUE(field_->isEditing());
  EXPECT_EQ(frame_.getFocusView(), field_);
  type("Vocal");
  EXPECT_EQ(field_->text(), "Vocal");
  EXPECT_TRUE(changes_.texts.empty()) << "nothing is told while typing";
  press(VKEY_RETURN);
  EXPECT_FALSE(field_->isEditing());
  EXPECT_EQ(frame_.getFocusView(), nullptr);
  EXPECT_EQ(changes_.texts, std::vector<std::string>{"Vocal"});
  // Return on an unchanged text tells nothing.
  clickAt(100, 18);
  press(VKEY_RETURN);
  EXPECT_EQ(changes_.texts.size(), 1u);
}

TEST_F(TextEdit, CaretKeysBackspaceAndDeleteWorkOnWholeCharacters) {
  clickAt(100, 18);
  type("Caf\xC3\xA9 \xE2\x82\xAC");  // "Café €"
  press(VKEY_BACK);                  // the euro sign, three bytes, at once
  EXPECT_EQ(field_->text(), "Caf\xC3\xA9 ");
  press(VKEY_LEFT);
  press(VKEY_LEFT);
  EXPECT_EQ(field_->caret(), 3u) << "before the two-byte e";
  press(VKEY_DELETE);
  EXPECT_EQ(field_->text(), "Caf ");
  press(VKEY_HOME);
  type("A ");
  press(VKEY_END);
  type("!");
  EXPECT_EQ(field_->text(), "A Caf !");
  // Shift extends a selection, which typing replaces.
  press(VKEY_HOME);
  press(VKEY_RIGHT, MODIFIER_SHIFT);
  press(VKEY_RIGHT, MODIFIER_SHIFT);
  type("The ");
  EXPECT_EQ(field_->text(), "The Caf !");
  // Ctrl+A, as X sends it (the control character 1), selects everything.
  VstKeyCode selectAll;
  selectAll.character = 1;
  selectAll.modifier = MODIFIER_COMMAND;
  frame_.onKeyDown(selectAll);
  EXPECT_EQ(field_->selectionAnchor(), 0u);
  EXPECT_EQ(field_->caret(), field_->text().size());
  press(VKEY_BACK);
  EXPECT_EQ(field_->text(), "");
  // Control characters and Ctrl with a letter never enter the text.
  VstKeyCode control;
  control.character = 0x07;
  frame_.onKeyDown(control);
  control.character = 'z';
  control.modifier = MODIFIER_COMMAND;
  EXPECT_EQ(frame_.onKeyDown(control), -1);
  EXPECT_EQ(field_->text(), "");
}

TEST_F(TextEdit, EscapeRestoresAndFocusLossCommits) {
  clickAt(100, 18);
  type("Gone");
  press(VKEY_ESCAPE);
  EXPECT_EQ(field_->text(), "Default");
  EXPECT_FALSE(field_->isEditing());
  EXPECT_TRUE(changes_.texts.empty());

  // A click on another field, and a click on nothing, end an edit and keep it.
  clickAt(100, 18);
  type("Kept");
  clickAt(100, 48);
  EXPECT_EQ(changes_.texts, std::vector<std::string>{"Kept"});
  EXPECT_TRUE(other_->isEditing());
  clickAt(250, 90);
  EXPECT_FALSE(other_->isEditing());
  EXPECT_EQ(frame_.getFocusView(), nullptr);

  // The window losing the keyboard ends it too; a text set from outside cancels it.
  clickAt(100, 18);
  type("Lost");
  frame_.onKeyboardFocusLost();
  EXPECT_EQ(changes_.texts.back(), "Lost");
  clickAt(100, 18);
  type("Overwritten");
  field_->setText("From the host");
  EXPECT_FALSE(field_->isEditing());
  EXPECT_EQ(field_->text(), "From the host");
  EXPECT_EQ(changes_.texts.size(), 2u);
}

TEST_F(TextEdit, ClicksInAnEditPlaceTheCaretAndTheTextIsDrawnWithIt) {
  clickAt(100, 18);
  press(VKEY_END);
  // A click at the field's left edge puts the caret before the first character.
  clickAt(11, 18);
  EXPECT_EQ(field_->caret(), 0u);
  EXPECT_EQ(field_->selectionAnchor(), 0u);
  // A double click selects the whole text again.
  clickAt(100, 18, kLButton | kDoubleClick);
  EXPECT_EQ(field_->selectionAnchor(), 0u);
  EXPECT_EQ(field_->caret(), 7u);
  // A text far wider than the field scrolls with the caret; it never draws outside it.
  type(std::string(60, 'W'));
  frame_.redraw();
  cairo_surface_t* buffer = frame_.getBuffer();
  const unsigned char* data = cairo_image_surface_get_data(buffer);
  const int stride = cairo_image_surface_get_stride(buffer);
  for (int y = 0; y < 100; ++y)
    for (int x = 200; x < 300; ++x)
      ASSERT_EQ(data[y * stride + 4 * x + 3], 0) << "drawn at " << x << ", " << y;
}

TEST(Utf8, CutsNeverSplitACharacter) {
  EXPECT_EQ(utf8::cutPoint("abc", 24), 3u);
  // 22 ASCII bytes, then a two-byte character across the 23-byte limit.
  const std::string name = std::string(22, 'a') + "\xC3\xA9";
  EXPECT_EQ(utf8::cutPoint(name, 23), 22u);
  EXPECT_EQ(utf8::cutPoint(name, 24), 24u);
  // A four-byte character straddling the limit goes whole.
  const std::string emoji = std::string(21, 'a') + "\xF0\x9F\x8E\xB5";
  EXPECT_EQ(utf8::cutPoint(emoji, 23), 21u);
  EXPECT_EQ(utf8::length(emoji), 22u);
  std::string built;
  utf8::append(built, 0x1F3B5);
  EXPECT_EQ(built, "\xF0\x9F\x8E\xB5");
  EXPECT_EQ(utf8::decodeFirst(built), 0x1F3B5u);
  EXPECT_EQ(utf8::decodeFirst("\x80"), 0xFFFDu);
}

}  // namespace
