// The preset strip of the built plug-in in a host window on Xvfb, driven by real input
// (XTest): typing into the name field with the window's keyboard, the pop-up menu with its
// grab, file dialogs that leave the host running (a stand-in zenity on PATH answers them),
// the default bank and the memories, and open-close cycles with a menu or a dialog left open.

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/ScopedConfigHome.h"
#include "support/ScopedEnvironment.h"
#include "support/StandInPrograms.h"
#include "x11/HostWindow.h"

namespace {

using tavola::test::ScopedEnvironment;

// Where the strip's controls are, in the panel's pixels.
constexpr int kStripY = 343;
constexpr int kNameFieldX = 233;
constexpr int kMenuX = 299;
constexpr int kSavePresetX = 97;
constexpr int kLoadPresetX = 156;
constexpr int kLoadBankX = 76;
constexpr int kDefaultBankX = 50;

std::string systemPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/bin:/bin";
}

class PresetStripWindow : public tavola::test::HostWindowTest {
 protected:
  std::string presetName(int preset) { return effect_->programNameIndexed(preset).value_or(""); }
  // Idles until `done`, for at most five seconds.
  template <typename Done>
  bool idleUntil(Done done) {
    for (int i = 0; i < 500; ++i) {
      if (done()) return true;
      idle(1);
      usleep(8000);
    }
    return done();
  }
  // Override-redirect windows mapped on the screen: our pop-ups.
  int popupCount() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    int popups = 0;
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display_, children[i], &attributes) &&
          attributes.override_redirect && attributes.map_state == IsViewable)
        ++popups;
    }
    if (children) XFree(children);
    return popups;
  }
  bool isRunning(pid_t pid) { return pid > 0 && ::kill(pid, 0) == 0; }

  // Stand-ins first on PATH, preferences of the test's own.
  tavola::test::StandInPrograms programs_;
  ScopedEnvironment path_{"PATH", programs_.path() + ":" + systemPath()};
  tavola::test::ScopedConfigHome config_;
};

TEST_F(PresetStripWindow, TypingANameTakesTheKeyboardAndGivesItBack) {
  open();
  Window before = 0;
  int revert = 0;
  XGetInputFocus(display_, &before, &revert);
  realClick(kNameFieldX, kStripY);
  Window focus = 0;
  XGetInputFocus(display_, &focus, &revert);
  EXPECT_EQ(focus, child_) << "typing goes to the field's window while it edits";

  const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
  realType(thirty);
  realPress(XK_Return);
  idle();
  EXPECT_EQ(effect_->programName(), thirty.substr(0, 23));
  EXPECT_EQ(presetName(0), thirty.substr(0, 23));
  XGetInputFocus(display_, &focus, &revert);
  EXPECT_EQ(focus, before) << "and back where it was afterwards";

  // The host taking the keyboard back ends the edit and keeps what was typed.
  realClick(kNameFieldX, kStripY);
  realType("kept");
  XSetInputFocus(display_, parent_, RevertToParent, CurrentTime);
  idle();
  EXPECT_EQ(effect_->programName(), "kept");
  realType("x");
  EXPECT_EQ(effect_->programName(), "kept") << "no more typing reaches the field";
}

TEST_F(PresetStripWindow, TheMenuOpensInAWindowOfItsOwnAndHoldsTheKeys) {
  open();
  realClick(kMenuX, kStripY);
  ASSERT_TRUE(idleUntil([&] { return popupCount() == 1; }));
  realPress(XK_Down);
  realPress(XK_Down);
  realPress(XK_Return);
  idle();
  EXPECT_EQ(popupCount(), 0);
  EXPECT_EQ(effect_->programName(), presetName(2));

  // A click outside closes it without choosing, and the panel under it hears nothing.
  realClick(kMenuX, kStripY);
  ASSERT_TRUE(idleUntil([&] { return popupCount() == 1; }));
  realPress(XK_Down);
  effect_->log().clear();
  realClick(622 + 12, 92 + 7);  // the SAT switch
  EXPECT_EQ(popupCount(), 0);
  EXPECT_EQ(effect_->programName(), presetName(2));
  EXPECT_EQ(effect_->log().gestureTrace(), "");
}

TEST_F(PresetStripWindow, TheMenuDoesNotOpenWhenAnotherProgramHoldsThePointer) {
  open();
  // The click reaches the panel; before the panel's idle sees it, another program takes
  // the pointer (a host's own menu, say), so the menu's window could not have it.
  fakeMoveTo(kMenuX, kStripY);
  fakeButton(Button1, true);
  fakeButton(Button1, false);
  XSync(display_, False);
  usleep(20000);
  ASSERT_EQ(XGrabPointer(display_, parent_, False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                         None, None, CurrentTime),
            GrabSuccess);
  XSync(display_, False);
  idle();
  EXPECT_EQ(popupCount(), 0) << "a menu that no click elsewhere could close";
  XUngrabPointer(display_, CurrentTime);
  XSync(display_, False);
  realClick(kMenuX, kStripY);
  EXPECT_TRUE(idleUntil([&] { return popupCount() == 1; }));
  realPress(XK_Escape);
}

TEST_F(PresetStripWindow, AFileDialogLeavesTheHostAndTheAudioRunning) {
  tavola::test::TempFolder files;
  const std::string preset = (files.path() / "kept.zeb").string();
  programs_.add("zenity", preset + "\\n", 0);
  open();
  realClick(kSavePresetX, kStripY);
  ASSERT_TRUE(idleUntil([&] { return std::filesystem::exists(preset); }));
  const std::string saved = effect_->programName();
  effect_->setProgramName("Renamed");

  programs_.add("zenity", preset + "\\n", 0, true);
  std::filesystem::remove(programs_.folder() / "zenity.pid");
  realClick(kLoadPresetX, kStripY);
  const pid_t dialog = [&] {
    idleUntil([&] { return programs_.pidOf("zenity") != 0; });
    return programs_.pidOf("zenity");
  }();
  ASSERT_NE(dialog, 0);
  EXPECT_NE(programs_.argumentsOf("zenity")[1].find("--title=Load preset"), std::string::npos);

  // The host's idle and its audio go on while the user looks for the file.
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    std::vector<float> left(256), right(256);
    float* channels[2] = {left.data(), right.data()};
    while (!stop.load()) {
      effect_->processReplacing(channels, channels, 256);
      blocks.fetch_add(1);
    }
  });
  for (int i = 0; i < 30; ++i) idle(1);
  const int during = blocks.load();
  EXPECT_TRUE(isRunning(dialog)) << "thirty idles came back with the dialog still open";
  EXPECT_GT(during, 0);
  EXPECT_EQ(effect_->programName(), "Renamed");

  programs_.answer("zenity");
  EXPECT_TRUE(idleUntil([&] { return effect_->programName() == saved; }));
  stop.store(true);
  audio.join();
  EXPECT_GT(blocks.load(), during);

  // A right click asks for the other byte order.
  programs_.add("zenity", "", 1);
  realClick(kLoadPresetX, kStripY, Button3);
  ASSERT_TRUE(idleUntil([&] {
    const auto arguments = programs_.argumentsOf("zenity");
    return arguments.size() > 1 && arguments[1] == "--title=Load preset (endian-reversed)";
  }));
}

TEST_F(PresetStripWindow, ACommandDoubleClickRemovesTheDefaultBank) {
  open();
  const auto stored = [&] { return std::filesystem::exists(config_.value("DefaultBank")); };
  realMove(kDefaultBankX, kStripY);
  for (int i = 0; i < 2; ++i) {
    realButton(Button1, true);
    realButton(Button1, false);
  }
  EXPECT_TRUE(idleUntil(stored));
  // A third press starts a new pair: no wait for the double-click time.
  realKey(XK_Control_L, true);
  for (int i = 0; i < 2; ++i) {
    realButton(Button1, true);
    realButton(Button1, false);
  }
  realKey(XK_Control_L, false);
  EXPECT_TRUE(idleUntil([&] { return !stored(); }));
}

TEST_F(PresetStripWindow, FiftyOpenCloseCyclesWithMenusAndDialogsLeftOpen) {
  programs_.add("zenity", "/never.zeb\\n", 0, true);
  std::vector<pid_t> dialogs;
  for (int i = 0; i < 50; ++i) {
    open();
    if (i % 5 == 1) {
      realClick(kMenuX, kStripY);
      EXPECT_TRUE(idleUntil([&] { return popupCount() == 1; }));
    }
    if (i % 5 == 3) {
      std::filesystem::remove(programs_.folder() / "zenity.pid");
      realClick(kLoadBankX, kStripY);
      idleUntil([&] { return programs_.pidOf("zenity") != 0; });
      dialogs.push_back(programs_.pidOf("zenity"));
    }
    effect_->dispatch(effEditClose);
    XSync(display_, False);
  }
  EXPECT_EQ(childCount(), 0);
  EXPECT_EQ(popupCount(), 0);
  ASSERT_EQ(dialogs.size(), 10u);
  for (pid_t dialog : dialogs) {
    EXPECT_NE(dialog, 0);
    EXPECT_FALSE(isRunning(dialog)) << "a dialog outlived its panel";
  }
}

// Top-level windows of the screen named `name`.
std::vector<Window> windowsNamed(Display* display, const std::string& name) {
  std::vector<Window> found;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned int i = 0; i < count; ++i) {
    char* title = nullptr;
    XWindowAttributes attributes{};
    if (XFetchName(display, children[i], &title) && title) {
      if (name == title && XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable)
        found.push_back(children[i]);
      XFree(title);
    }
  }
  if (children) XFree(children);
  return found;
}

TEST_F(PresetStripWindow, WithoutADialogProgramTheAlertIsAWindowOfOurOwn) {
  // Neither zenity nor kdialog on the path; the manual is nowhere.
  ScopedEnvironment bare("PATH", programs_.path());
  tavola::test::TempFolder home;
  ScopedEnvironment homeFolder("HOME", home.path().string());
  open();
  realClick(670, kStripY);  // the manual key
  std::vector<Window> alerts;
  ASSERT_TRUE(
      idleUntil([&] { return (alerts = windowsNamed(display_, "ZEB Tavola")).size() == 1; }));
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, alerts[0], &attributes);
  // The OK button, at the window's bottom right.
  realClick(attributes.width - 18 - 40, attributes.height - 18 - 13, Button1, alerts[0]);
  EXPECT_TRUE(idleUntil([&] { return windowsNamed(display_, "ZEB Tavola").empty(); }));
  // The panel still answers.
  effect_->log().clear();
  realClick(622 + 12, 92 + 7);
  EXPECT_EQ(effect_->log().gestureTrace(), "begin 7; set 7=1; end 7");

  // An alert left unanswered is the editor's: it goes when the editor closes.
  realClick(670, kStripY);
  ASSERT_TRUE(idleUntil([&] { return windowsNamed(display_, "ZEB Tavola").size() == 1; }));
  effect_->dispatch(effEditClose);
  XSync(display_, False);
  EXPECT_TRUE(windowsNamed(display_, "ZEB Tavola").empty());
}

}  // namespace
