// What the host hears of the user's gestures on a real effect's panel, off screen: every
// automated value inside one gesture of a parameter that exists, every gesture ended,
// whatever the mouse does (drags begun beside a knob, a second button, the editor closed
// mid-drag, the strip's controls, a knob at its end), and a name no text library can draw
// that blanks nothing. Then thousands of random events and host renames, checked the same
// way, with the memory in use steady from one pass to the next.

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' allocators keep their own count (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

#include "editor/ADEditor.h"
#include "editor/RecordingHost.h"
#include "effect/Tavola.h"
#include "gui/CFrame.h"
#include "gui/Utf8.h"
#include "platform/DiagnosticWriter.h"
#include "support/GestureCheck.h"
#include "support/ScopedConfigHome.h"

namespace {

using namespace VSTGUI;
using editor_test::hostTrace;
using editor_test::recordingHost;
using tavola::test::gestureFaults;
using Editor = CPresetSystemEditor;

std::size_t bytesInUse() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

class PanelGestures : public testing::Test {
 protected:
  PanelGestures() {
    testing::internal::CaptureStderr();
    effect_ = std::make_unique<Tavola>(recordingHost);
    editor_ = effect_->panel();
    EXPECT_TRUE(editor_->open(nullptr));
    editor_->idle();
    hostTrace().clear();
  }
  ~PanelGestures() override {
    editor_->close();
    effect_.reset();
    tavola::diagnostics::flush(std::chrono::seconds(10));
    testing::internal::GetCapturedStderr();
  }

  CFrame& frame() { return *editor_->getFrame(); }
  CPoint centreOf(long tag) {
    CControl* control =
        tag >= Editor::kNameFieldTag ? editor_->stripControl(tag) : editor_->controlForTag(tag);
    const CRect& size = control->getViewSize();
    return CPoint(size.left + size.width() / 2, size.top + size.height() / 2);
  }
  void down(CPoint where, long buttons) { frame().onMouseDown(where, buttons); }
  void move(CPoint where, long buttons) { frame().onMouseMoved(where, buttons); }
  void up(CPoint where, long stillHeld) { frame().onMouseUp(where, stillHeld); }
  static std::string take() { return editor_test::takeHostTrace(); }

  tavola::test::ScopedConfigHome config_;
  std::unique_ptr<Tavola> effect_;
  ADEditor* editor_ = nullptr;
};

TEST_F(PanelGestures, ADragBegunBesideAKnobNeverMovesIt) {
  const CPoint knob = centreOf(15);
  const float before = effect_->getParameter(15);
  // From the bare panel, across the knob and up.
  down(CPoint(3, 3), kLButton);
  move(knob, kLButton);
  move(CPoint(knob.x, knob.y - 100), kLButton);
  up(CPoint(knob.x, knob.y - 100), 0);
  // From a switch, whose click is a gesture of its own.
  down(centreOf(7), kLButton);
  move(knob, kLButton);
  move(CPoint(knob.x, knob.y - 100), kLButton);
  up(CPoint(knob.x, knob.y - 100), 0);
  EXPECT_EQ(take(), "begin 7; set 7=1; end 7");
  EXPECT_EQ(effect_->getParameter(15), before);
}

TEST_F(PanelGestures, ASecondButtonDuringADragIsNoSecondGesture) {
  const CPoint knob = centreOf(15);
  down(knob, kLButton);
  down(knob, kLButton | kRButton);
  move(CPoint(knob.x, knob.y - 25), kLButton | kRButton);
  // The right button goes first: the left one's drag goes on.
  up(CPoint(knob.x, knob.y - 25), kLButton);
  move(CPoint(knob.x, knob.y - 50), kLButton);
  up(CPoint(knob.x, knob.y - 50), 0);
  EXPECT_EQ(take(), "begin 15; set 15=0.6; set 15=0.7; end 15");
}

TEST_F(PanelGestures, ClosingTheEditorMidDragEndsTheGesture) {
  const CPoint knob = centreOf(15);
  down(knob, kLButton);
  move(CPoint(knob.x, knob.y - 25), kLButton);
  editor_->close();
  EXPECT_EQ(take(), "begin 15; set 15=0.6; end 15");
  // A modal view taking the mouse mid-drag ends it the same way.
  ASSERT_TRUE(editor_->open(nullptr));
  down(centreOf(15), kLButton);
  move(CPoint(knob.x, knob.y - 50), kLButton);
  auto* cover = new CView(CRect(0, 0, 10, 10));
  ASSERT_TRUE(frame().setModalView(cover));
  EXPECT_EQ(take(), "begin 15; set 15=0.8; end 15");
  frame().setModalView(nullptr);
  cover->forget();
}

TEST_F(PanelGestures, TheStripsControlsGiveTheHostNoGesturesOfTheirOwn) {
  frame().onWheel(centreOf(Editor::kPresetRockerTag), -1.0f, 0);
  for (int i = 0; i < 30; ++i) editor_->idle();
  down(centreOf(Editor::kPresetRockerTag), kLButton);
  up(centreOf(Editor::kPresetRockerTag), 0);
  const std::string trace = take();
  EXPECT_EQ(gestureFaults(trace), std::vector<std::string>{}) << trace;
  EXPECT_EQ(trace.find("93"), std::string::npos) << trace;
}

TEST_F(PanelGestures, AKnobAtItsEndSendsNothingMore) {
  effect_->setParameter(15, 0.995f);
  editor_->idle();
  const CPoint knob = centreOf(15);
  // Two wheel steps before the panel is drawn again: only the first changes anything.
  frame().onWheel(knob, 1.0f, 0);
  frame().onWheel(knob, 1.0f, 0);
  EXPECT_EQ(take(), "begin 15; set 15=1; end 15");
  // A drag on past the end.
  down(knob, kLButton);
  move(CPoint(knob.x, knob.y - 100), kLButton);
  move(CPoint(knob.x, knob.y - 200), kLButton);
  up(CPoint(knob.x, knob.y - 200), 0);
  EXPECT_EQ(take(), "begin 15; end 15");
}

TEST_F(PanelGestures, ANameNoTextLibraryDrawsBlanksNothing) {
  const auto picture = [&] {
    frame().redraw();
    cairo_surface_t* buffer = frame().getBuffer();
    cairo_surface_flush(buffer);
    const unsigned char* data = cairo_image_surface_get_data(buffer);
    return std::vector<unsigned char>(data, data + cairo_image_surface_get_stride(buffer) *
                                                       cairo_image_surface_get_height(buffer));
  };
  // Every pixel but those of the name's own two places.
  const CRect name = editor_->stripControl(Editor::kNameFieldTag)->getViewSize();
  const CRect menu = editor_->stripControl(Editor::kPresetMenuTag)->getViewSize();
  const auto outsideTheName = [&](const std::vector<unsigned char>& pixels) {
    std::vector<unsigned char> kept;
    const int stride = cairo_image_surface_get_stride(frame().getBuffer());
    for (int y = 0; y < 352; ++y)
      for (int x = 0; x < 720; ++x)
        if (!name.pointInside(CPoint(x, y)) && !menu.pointInside(CPoint(x, y)))
          kept.insert(kept.end(), pixels.begin() + y * stride + 4 * x,
                      pixels.begin() + y * stride + 4 * x + 4);
    return kept;
  };
  char plain[] = "Plain";
  effect_->setProgramName(plain);
  editor_->idle();
  const std::vector<unsigned char> reference = outsideTheName(picture());
  for (std::string bad :
       {std::string("\xEF\xBF\xBF"), std::string("A\xF4\x8F\xBF\xBF"), std::string("Cut \xE2\x82"),
        std::string("Latin-1 \xE9t\xE9"), std::string("\xED\xA0\x80 surrogate")}) {
    effect_->setProgramName(bad.data());
    editor_->idle();
    char stored[kVstMaxProgNameLen + 1] = {};
    effect_->getProgramName(stored);
    EXPECT_TRUE(utf8::isValid(stored)) << stored;
    EXPECT_NE(std::string(stored).find("\xEF\xBF\xBD"), std::string::npos) << stored;
    EXPECT_EQ(outsideTheName(picture()), reference) << "the panel changed for " << bad;
  }
}

// A mouse, keyboard and host at random: presses and releases as a real mouse makes them,
// moves, wheel steps, keys, host renames with bytes of any kind, host automation, idles,
// and the editor closed and opened again now and then.
class RandomUser {
 public:
  explicit RandomUser(unsigned seed) : random_(seed) {}

  void play(ADEditor& editor, Tavola& effect, int events) {
    for (int i = 0; i < events; ++i) {
      if (!editor.getFrame()) {
        ASSERT_TRUE(editor.open(nullptr));
      }
      CFrame& frame = *editor.getFrame();
      CPoint where(pick(-10, 730), pick(-10, 362));
      const long modifiers = pick(0, 3) == 0 ? (pick(0, 1) ? long{kShift} : long{kControl}) : 0;
      switch (pick(0, 19)) {
        case 0:
        case 1:
        case 2: {
          const long button = std::vector<long>{kLButton, kLButton, kRButton, kMButton}[pick(0, 3)];
          if (held_ & button) break;
          held_ |= button;
          frame.onMouseDown(where, held_ | modifiers | (pick(0, 5) == 0 ? long{kDoubleClick} : 0));
          break;
        }
        case 3:
        case 4:
          if (!held_) break;
          held_ &= ~(held_ & -held_);
          frame.onMouseUp(where, held_ | modifiers);
          break;
        case 5:
          frame.onWheel(where, pick(0, 1) ? 1.0f : -1.0f, modifiers);
          break;
        case 6: {
          VstKeyCode key;
          key.virt = static_cast<unsigned char>(pick(0, 3) == 0 ? pick(1, 30) : 0);
          // Characters from a small set: each new one would grow the font caches.
          key.character = key.virt ? 0
                                   : std::vector<long>{'a',  'Z',    ' ',    '7',
                                                       0xE9, 0x20AC, 0x266A, 0xFFFF}[pick(0, 7)];
          key.modifier = static_cast<unsigned char>(pick(0, 7) == 0 ? MODIFIER_COMMAND : 0);
          frame.onKeyDown(key);
          break;
        }
        case 7: {
          // Pieces a host may send, well formed or not, strung together.
          static const char* const pieces[] = {"Vocal",
                                               " ",
                                               "\xC3\xA9",
                                               "\xE2\x82",
                                               "\xEF\xBF\xBF",
                                               "\xF4\x8F\xBF\xBF",
                                               "\xE9",
                                               "\xED\xA0\x80",
                                               "\xF0\x9F\x8E\xB5",
                                               "Take 2"};
          std::string name;
          for (int piece = pick(0, 8); piece > 0; --piece) name += pieces[pick(0, 9)];
          name.resize(std::min<std::size_t>(name.size(), kVstMaxProgNameLen));
          effect.setProgramName(name.data());
          break;
        }
        case 8:
          effect.setParameter(pick(0, 43), static_cast<float>(pick(0, 1000)) / 1000.0f);
          break;
        case 9:
        case 10:
          editor.idle();
          break;
        case 11:
          if (pick(0, 40) == 0) {
            editor.close();
            held_ = 0;
          }
          break;
        default:
          frame.onMouseMoved(where, held_ | modifiers);
      }
    }
    // The user lets go of everything, and the editor closes.
    if (CFrame* frame = editor.getFrame()) {
      CPoint where(360, 100);
      while (held_) {
        held_ &= ~(held_ & -held_);
        frame->onMouseUp(where, held_);
      }
      editor.idle();
    }
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::mt19937 random_;
  long held_ = 0;
};

TEST_F(PanelGestures, ThousandsOfRandomEventsKeepEveryGestureWholeAndMemorySteady) {
  constexpr int kEvents = 3000;
  // Each pass ends with every button up, so its trace is whole; it is dropped after its
  // check, so that only the plug-in's memory is measured.
  const auto pass = [&](unsigned seed) {
    RandomUser(seed).play(*editor_, *effect_, kEvents);
    const std::vector<std::string> faults = gestureFaults(take());
    EXPECT_TRUE(faults.empty()) << "seed " << seed << ": " << faults.size()
                                << " faults, the first: " << faults.front();
    hostTrace().shrink_to_fit();
  };
  // The caches (fonts, glyphs) fill in the first round; a second round of the same
  // passes finds them full, and what grows then is a leak.
  for (unsigned seed = 1; seed <= 3; ++seed) pass(seed);
  const std::size_t warmed = bytesInUse();
  for (unsigned seed = 1; seed <= 3; ++seed) pass(seed);
  const std::size_t after = bytesInUse();
  EXPECT_LT(after, warmed + 16 * 1024) << "from " << warmed << " to " << after << " bytes";
  for (int p = 0; p < 7; ++p) {
    char name[kVstMaxProgNameLen + 1] = {};
    effect_->getProgramNameIndexed(0, p, name);
    EXPECT_TRUE(utf8::isValid(name)) << p;
  }
}

}  // namespace
