// tavola-render: renders audio files through the Tavola plug-in offline, loaded through the
// in-repo host exactly as a DAW loads it, starting from factory presets or preset and bank
// files, saves the settings as preset files, and makes the demo files and response plot.
//
// Standard output carries the results (the render report, the listing); standard error
// carries the renderer's messages and, with --verbose, the plug-in's own diagnostic lines.

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/Console.h"
#include "tools/common/EffectSession.h"
#include "tools/common/PluginPath.h"
#include "tools/tavola-render/Demo.h"
#include "tools/tavola-render/Listing.h"
#include "tools/tavola-render/Options.h"
#include "tools/tavola-render/ProgressBar.h"
#include "tools/tavola-render/RenderJob.h"
#include "tools/tavola-render/SoundFile.h"

using namespace tavola::render;

namespace {

// The signal that asked the render to stop; 0 while none has.
volatile std::sig_atomic_t caughtSignal = 0;

void onInterrupt(int signal) {
  caughtSignal = signal;
}

// An interrupted render (or demo) stops at the next block, so that the temporary file is
// removed and an earlier output stays as it was: Ctrl-C, a kill, a closed terminal
// (SIGHUP), or a reader of our messages that went away (SIGPIPE). Then the program ends by
// that same signal, as a shell pipeline expects of it.
void catchInterrupts() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  sigaction(SIGPIPE, &action, nullptr);
}

// Standard output is a pipe whose reader has gone: what a write would learn by SIGPIPE,
// learnt before the render commits its output rather than after.
bool readerOfOutputGone() {
  static const bool outputIsPipe = [] {
    struct stat status {};
    return ::fstat(STDOUT_FILENO, &status) == 0 && S_ISFIFO(status.st_mode);
  }();
  if (!outputIsPipe) return false;
  pollfd out{STDOUT_FILENO, 0, 0};
  return ::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
}

bool keepGoing() {
  if (caughtSignal == 0 && readerOfOutputGone()) caughtSignal = SIGPIPE;
  return caughtSignal == 0;
}

// Ends the program by the signal that stopped it, its work already undone.
void endByCaughtSignal() {
  const int signal = caughtSignal;
  if (signal == 0) return;
  std::fflush(nullptr);
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  std::raise(signal);
}

// The plug-in of this build.
std::string defaultPlugin() {
  return findBuiltPlugin(TAVOLA_RENDER_PLUGIN_PATH);
}

int fail(const Console& console, const Status& status) {
  console.error(status.message());
  return status.exitCode();
}

int render(const PluginHost& host, const Console& console, const Options& options) {
  // A look at the input decides whether the render is long enough for a progress bar; the
  // render opens it again and reports any trouble with it.
  long frames = 0;
  double rate = 0.0;
  if (std::unique_ptr<SoundFileReader> input; SoundFileReader::open(options.input, input).ok()) {
    frames = input->frames();
    rate = input->sampleRate();
  }
  // Counted in thousandths of the frames to feed, which include the flush and the tail.
  constexpr long kSteps = 1000;
  ProgressBar bar(console.messageFd(),
                  ProgressBar::wanted(console.messagesToTerminal(), frames, rate), kSteps,
                  "rendering");
  const RenderProgress progress = [&](long done, long total) {
    bar.update(total > 0 ? done * kSteps / total : kSteps);
    return keepGoing();
  };
  RenderSummary summary;
  const Status status = renderFile(host, console, options, progress, summary);
  bar.finish();
  if (!status.ok()) return fail(console, status);
  std::fputs(formatSummary(summary).c_str(), stdout);
  std::fflush(stdout);
  if (const std::string warning = overWarning(summary); !warning.empty()) console.warning(warning);
  return 0;
}

int demo(const PluginHost& host, const Console& console, const Options& options) {
  DemoSettings settings;
  settings.render.blockSize = options.settings.blockSize;
  settings.render.useDouble = options.settings.useDouble;
  settings.keepGoing = keepGoing;
  const auto start = std::chrono::steady_clock::now();
  DemoReport report;
  const Status status = runDemo(
      host, console, options.demoDirectory, settings,
      [](const std::string& file) {
        std::printf("  wrote %s\n", file.c_str());
        std::fflush(stdout);
      },
      report);
  if (!status.ok()) return fail(console, status);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("\nMagnitude responses measured through the plug-in:\n%s",
              formatResponseTable(report).c_str());
  std::printf("\nDemo done in %.1f s: %zu files in %s\n", seconds, report.files.size(),
              options.demoDirectory.c_str());
  return 0;
}

int savePreset(const PluginHost& host, const Console& console, const Options& options) {
  RenderSummary summary;
  if (Status status = saveSettings(host, console, options, summary); !status.ok())
    return fail(console, status);
  std::fputs(formatSaveSummary(summary).c_str(), stdout);
  return 0;
}

int list(const PluginHost& host, const Console& console) {
  std::vector<ParameterInfo> parameters;
  if (Status status = probeSteps(host, console, parameters); !status.ok())
    return fail(console, status);
  std::fputs(formatListing(parameters).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const Status parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!parsed.ok()) {
    std::fprintf(stderr, "tavola-render: %s\n", parsed.message().c_str());
    return parsed.exitCode();
  }
  if (options.mode == Mode::kHelp) {
    std::fputs(usageText(), stdout);
    return 0;
  }

  const Console console(options.verbose);
  catchInterrupts();
  std::unique_ptr<PluginHost> host;
  const std::string plugin = options.plugin.empty() ? defaultPlugin() : options.plugin;
  if (Status status = PluginHost::load(plugin, console, host); !status.ok())
    return fail(console, status);

  const int code = [&] {
    switch (options.mode) {
      case Mode::kList:
        return list(*host, console);
      case Mode::kDemo:
        return demo(*host, console, options);
      case Mode::kSavePreset:
        return savePreset(*host, console, options);
      case Mode::kRender:
      case Mode::kHelp:
        break;
    }
    return render(*host, console, options);
  }();
  endByCaughtSignal();
  return code;
}
