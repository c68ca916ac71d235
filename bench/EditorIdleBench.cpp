// What the open panel costs the host's user-interface thread: one editor idle, off screen
// (the drawing is the same as on screen; the copy to the X window is left out), in three
// situations. At the 30 idles a second most hosts send, a core's 1 % is 333 us per idle.

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editor/ADEditor.h"
#include "effect/Tavola.h"
#include "platform/ExternalFileDialog.h"

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

struct OpenPanel {
  explicit OpenPanel(void* parentWindow = nullptr) : effect(std::make_unique<Tavola>(quietHost)) {
    editor = dynamic_cast<ADEditor*>(effect->getEditor());
    editor->open(parentWindow);
    editor->idle();
  }
  ~OpenPanel() { editor->close(); }
  std::unique_ptr<Tavola> effect;
  ADEditor* editor;
};

// Nothing changed: the lamp's check and an idle with nothing to draw.
void idleAtRest(benchmark::State& state) {
  OpenPanel panel;
  for (auto _ : state) panel.editor->idle();
}

// The host plays automation on one knob: every idle applies a change and redraws the panel.
void idleWithAutomation(benchmark::State& state) {
  OpenPanel panel;
  float value = 0.0f;
  for (auto _ : state) {
    state.PauseTiming();
    value = value >= 1.0f ? 0.0f : value + 0.01f;
    panel.editor->setParameter(15, value);
    state.ResumeTiming();
    panel.editor->idle();
  }
}

// The output clips at every other idle, so the lamp goes from lit to held and back and
// only its rectangle is drawn again.
void idleWithClipping(benchmark::State& state) {
  OpenPanel panel;
  bool clip = false;
  for (auto _ : state) {
    clip = !clip;
    if (clip) panel.effect->setPeakLevel(2.0);
    panel.editor->idle();
  }
}

// As idleWithAutomation, in a window on the X server of $DISPLAY: the drawing and the copy
// of the changed area to the window, up to the server's answer.
void idleWithAutomationOnX11(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    state.SkipWithError("no X display");
    return;
  }
  const Window parent =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 720, 352, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);
  {
    OpenPanel panel(reinterpret_cast<void*>(parent));
    float value = 0.0f;
    for (auto _ : state) {
      state.PauseTiming();
      value = value >= 1.0f ? 0.0f : value + 0.01f;
      panel.editor->setParameter(15, value);
      state.ResumeTiming();
      panel.editor->idle();
      // The server has the picture once it answers.
      XSync(display, False);
    }
  }
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

// A load dialog is open (a stand-in dialog program that waits for ever): each idle also
// asks the program, without waiting, whether the user has answered.
void idleWithFileDialogOpen(benchmark::State& state) {
  char folder[] = "/tmp/tavola-bench-XXXXXX";
  if (!::mkdtemp(folder)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string program = std::string(folder) + "/zenity";
  std::ofstream(program) << "#!/bin/sh\nwhile :; do sleep 1; done\n";
  ::chmod(program.c_str(), 0755);
  {
    OpenPanel panel;
    panel.editor->useFileDialog(std::make_unique<tavola::ExternalFileDialog>(folder));
    panel.editor->loadPreset(false);
    if (!panel.editor->fileDialogOpen()) state.SkipWithError("the dialog did not open");
    for (auto _ : state) panel.editor->idle();
  }
  std::filesystem::remove_all(folder);
}

BENCHMARK(idleAtRest)->Name("editor_idle/at_rest")->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithAutomation)->Name("editor_idle/automation")->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithAutomationOnX11)
    ->Name("editor_idle/automation_on_x11")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithClipping)->Name("editor_idle/clipping")->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithFileDialogOpen)
    ->Name("editor_idle/file_dialog_open")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
