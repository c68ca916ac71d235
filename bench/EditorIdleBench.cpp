// What the open panel costs the host's user-interface thread: one editor idle, off screen
// (the drawing is the same as on screen; the copy to the X window is left out), in three
// situations. At the 30 idles a second most hosts send, a core's 1 % is 333 us per idle.
// And what one instance with its panel open costs the whole process, at rest, each second.

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "editor/ADEditor.h"
#include "effect/Tavola.h"
#include "platform/DiagnosticWriter.h"
#include "platform/ExternalFileDialog.h"

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

struct OpenPanel {
  explicit OpenPanel(void* parentWindow = nullptr) : effect(std::make_unique<Tavola>(quietHost)) {
    editor = effect->panel();
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
    if (clip) panel.effect->panelMeters().peakLevel.store(2.0);
    panel.editor->idle();
  }
}

// A host's window for the panel on the X server of $DISPLAY, on a connection of the host's.
struct HostWindow {
  HostWindow() : display(XOpenDisplay(nullptr)) {
    if (!display) return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 720, 352, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~HostWindow() {
    if (!display) return;
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  void* parent() const { return reinterpret_cast<void*>(window); }
  Display* display;
  Window window = 0;
};

// As idleWithAutomation, in a window on the X server of $DISPLAY: the drawing and the copy
// of the changed area to the window, up to the server's answer.
void idleWithAutomationOnX11(benchmark::State& state) {
  HostWindow host;
  if (!host.display) {
    state.SkipWithError("no X display");
    return;
  }
  {
    OpenPanel panel(host.parent());
    float value = 0.0f;
    for (auto _ : state) {
      state.PauseTiming();
      value = value >= 1.0f ? 0.0f : value + 0.01f;
      panel.editor->setParameter(15, value);
      state.ResumeTiming();
      panel.editor->idle();
      // The server has the picture once it answers.
      XSync(host.display, False);
    }
  }
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

double cpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One instance with its panel open in an X window, as a host at rest keeps it: 30 idles a
// second. Each iteration is one second of it. The counters: the CPU time the idles took on
// the host's thread as a share of one core; the same for the whole process, every thread
// of the plug-in counted (the diagnostic writer's too) and this loop's own sleeping and
// waking, which a host pays whatever it hosts; and how often the writer woke.
void instanceAtRestOnX11(benchmark::State& state) {
  HostWindow host;
  if (!host.display) {
    state.SkipWithError("no X display");
    return;
  }
  {
    OpenPanel panel(host.parent());
    double idles = 0, process = 0, wall = 0;
    unsigned long long wakeUps = 0;
    for (auto _ : state) {
      const auto start = std::chrono::steady_clock::now();
      const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
      const unsigned long long wakeStart = tavola::diagnostics::writerWakeUps();
      for (int i = 0; i < 30; ++i) {
        const double idleStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        panel.editor->idle();
        idles += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - idleStart;
        std::this_thread::sleep_until(start + std::chrono::microseconds(33333 * (i + 1)));
      }
      process += cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
      wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      wakeUps += tavola::diagnostics::writerWakeUps() - wakeStart;
    }
    state.counters["idle_core_percent"] = 100.0 * idles / wall;
    state.counters["process_core_percent"] = 100.0 * process / wall;
    state.counters["writer_wakeups_per_s"] = static_cast<double>(wakeUps) / wall;
  }
}

BENCHMARK(idleAtRest)->Name("editor_idle/at_rest")->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithAutomation)->Name("editor_idle/automation")->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithAutomationOnX11)
    ->Name("editor_idle/automation_on_x11")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(idleWithClipping)->Name("editor_idle/clipping")->Unit(benchmark::kMicrosecond);
BENCHMARK(instanceAtRestOnX11)
    ->Name("editor_idle/instance_at_rest_30hz_on_x11")
    ->Iterations(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(idleWithFileDialogOpen)
    ->Name("editor_idle/file_dialog_open")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
