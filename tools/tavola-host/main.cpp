// tavola-host: loads a VST 2.4 plug-in's shared object as a DAW does and prints what a
// DAW would learn from it: identity, channels, flags, latency, capabilities, pins,
// programs and the parameter table.
//
// The report goes to standard output; everything the plug-in itself prints goes to
// standard error, so that the report can be compared or piped as it is.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/VendorRequests.h"
#include "host/VstInterface.h"
#include "tools/common/ParameterValue.h"
#include "vsthost/HostedEffect.h"
#include "vsthost/PluginLibrary.h"

namespace {

constexpr int kMaxProgramsListed = 128;

struct Arguments {
  float rate = 44100.0f;
  VstInt32 block = 1024;
  bool all = false;
  std::string plugin;
  // With a picture path: set the parameters, draw the editor panel there, and print no
  // report.
  std::string editorShot;
  std::vector<std::pair<std::string, std::string>> settings;
};

void usage(FILE* to) {
  std::fputs(
      "usage: tavola-host [--rate HZ] [--block N] [--all] PLUGIN.so\n"
      "       tavola-host --editor-shot FILE.png [--set NAME=VALUE]... PLUGIN.so\n"
      "  --rate HZ             sample rate sent before resume (default 44100)\n"
      "  --block N             block size sent before resume (default 1024)\n"
      "  --all                 also list parameters without a name\n"
      "  --editor-shot FILE    open the editor off screen and write its panel as a PNG\n"
      "  --set NAME=VALUE      with --editor-shot: a parameter sent as the host would,\n"
      "                        as a display text (\"3dB\", \"On\") or a value 0 to 1\n",
      to);
}

bool parseArguments(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--rate" || argument == "--block") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "tavola-host: %s needs a value\n", argument.c_str());
        return false;
      }
      const char* text = argv[++i];
      char* end = nullptr;
      errno = 0;
      if (argument == "--rate") {
        const double rate = std::strtod(text, &end);
        if (errno || end == text || *end || !(rate >= 1.0 && rate <= 10000000.0)) {
          std::fprintf(stderr, "tavola-host: bad sample rate '%s'\n", text);
          return false;
        }
        arguments.rate = static_cast<float>(rate);
      } else {
        const long block = std::strtol(text, &end, 10);
        if (errno || end == text || *end || block < 1 || block > 1048576) {
          std::fprintf(stderr, "tavola-host: bad block size '%s'\n", text);
          return false;
        }
        arguments.block = static_cast<VstInt32>(block);
      }
    } else if (argument == "--all") {
      arguments.all = true;
    } else if (argument == "--editor-shot" || argument == "--set") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "tavola-host: %s needs a value\n", argument.c_str());
        return false;
      }
      const std::string text = argv[++i];
      if (argument == "--editor-shot") {
        arguments.editorShot = text;
        continue;
      }
      const std::size_t equals = text.find('=');
      if (equals == std::string::npos || equals == 0) {
        std::fprintf(stderr, "tavola-host: --set wants NAME=VALUE, not '%s'\n", text.c_str());
        return false;
      }
      arguments.settings.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    } else if (argument == "-h" || argument == "--help") {
      usage(stdout);
      std::exit(0);
    } else if (!argument.empty() && argument[0] == '-') {
      std::fprintf(stderr, "tavola-host: unknown option %s\n", argument.c_str());
      return false;
    } else if (arguments.plugin.empty()) {
      arguments.plugin = argument;
    } else {
      std::fprintf(stderr, "tavola-host: only one plug-in, please (%s)\n", argument.c_str());
      return false;
    }
  }
  if (arguments.plugin.empty()) {
    std::fputs("tavola-host: no plug-in given\n", stderr);
    return false;
  }
  if (!arguments.settings.empty() && arguments.editorShot.empty()) {
    std::fputs("tavola-host: --set goes with --editor-shot\n", stderr);
    return false;
  }
  return true;
}

// The report is built in memory and written once at the end, so that a failure half-way
// leaves standard output empty rather than with half a report.
class Report {
 public:
  __attribute__((format(printf, 2, 3))) void line(const char* format, ...) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    std::string line = buffer;
    // Rows whose last column is empty would otherwise end in padding.
    line.erase(line.find_last_not_of(' ') + 1);
    text_ += line;
    text_ += '\n';
  }
  void blank() { text_ += '\n'; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

const char* categoryName(VstInt32 category) {
  static const char* const names[] = {"unknown",     "effect",          "synth",   "analysis",
                                      "mastering",   "spatialiser",     "room fx", "surround fx",
                                      "restoration", "offline process", "shell",   "generator"};
  if (category < 0 || category >= static_cast<VstInt32>(std::size(names))) return "?";
  return names[category];
}

const char* yesNo(bool value) {
  return value ? "yes" : "no";
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string pinFlags(VstInt32 flags) {
  std::string text;
  auto add = [&text](const char* name) { text += text.empty() ? name : std::string(", ") + name; };
  if (flags & kVstPinIsActive) add("active");
  if (flags & kVstPinIsStereo) add("stereo");
  if (flags & kVstPinUseSpeaker) add("use speaker");
  return text.empty() ? "none" : text;
}

std::string parameterFlags(const VstParameterProperties& p, const std::string& name) {
  std::string text;
  char item[128];
  auto add = [&text](const std::string& part) { text += text.empty() ? part : ", " + part; };
  if (p.flags & kVstParameterIsSwitch) add("switch");
  if (p.flags & kVstParameterUsesFloatStep) {
    std::snprintf(item, sizeof item, "float step %g (small %g, large %g)",
                  static_cast<double>(p.stepFloat), static_cast<double>(p.smallStepFloat),
                  static_cast<double>(p.largeStepFloat));
    add(item);
  }
  if (p.flags & kVstParameterUsesIntegerMinMax) {
    std::snprintf(item, sizeof item, "integer %d..%d", p.minInteger, p.maxInteger);
    add(item);
  }
  if (p.flags & kVstParameterUsesIntStep) {
    std::snprintf(item, sizeof item, "integer step %d (large %d)", p.stepInteger,
                  p.largeStepInteger);
    add(item);
  }
  if (p.flags & kVstParameterCanRamp) add("can ramp");
  std::snprintf(item, sizeof item, "flags %d", p.flags);
  add(item);
  // The labels usually repeat the name; they are worth a look only when they do not.
  const std::string label(p.label, strnlen(p.label, kVstMaxLabelLen));
  const std::string shortLabel(p.shortLabel, strnlen(p.shortLabel, kVstMaxShortLabelLen));
  if (label != name || shortLabel != name.substr(0, kVstMaxShortLabelLen - 1)) {
    std::snprintf(item, sizeof item, "label \"%s\", short \"%s\"", label.c_str(),
                  shortLabel.c_str());
    add(item);
  }
  return text;
}

void reportPins(Report& report, HostedEffect& effect, bool output) {
  const VstInt32 count = output ? effect.numOutputs() : effect.numInputs();
  for (VstInt32 pin = 0; pin < count; ++pin) {
    VstPinProperties properties{};
    const bool answered =
        output ? effect.outputProperties(pin, properties) : effect.inputProperties(pin, properties);
    if (!answered) {
      report.line("  %-3s %d  (no properties)", output ? "out" : "in", pin);
      continue;
    }
    properties.label[kVstMaxLabelLen - 1] = 0;
    report.line("  %-3s %d  %-24s flags %d (%s)", output ? "out" : "in", pin,
                quoted(properties.label).c_str(), properties.flags,
                pinFlags(properties.flags).c_str());
  }
}

struct ParameterRow {
  VstInt32 index;
  std::string name, display, label, properties;
  float value;
};

void reportParameters(Report& report, HostedEffect& effect, bool all) {
  std::vector<ParameterRow> rows;
  int skipped = 0;
  for (VstInt32 index = 0; index < effect.numParams(); ++index) {
    ParameterRow row{index, effect.parameterName(index), "", "", "", 0.0f};
    if (row.name.empty() && !all) {
      ++skipped;
      continue;
    }
    row.display = quoted(effect.parameterDisplay(index));
    row.label = quoted(effect.parameterLabel(index));
    row.value = effect.getParameter(index);
    VstParameterProperties properties{};
    if (effect.parameterProperties(index, properties))
      row.properties = parameterFlags(properties, row.name);
    rows.push_back(row);
  }
  if (skipped)
    report.line("Parameters (%d without a name skipped; --all lists them)", skipped);
  else
    report.line("Parameters");
  std::size_t nameWidth = 4, displayWidth = 7, labelWidth = 5;
  for (const ParameterRow& row : rows) {
    nameWidth = std::max(nameWidth, row.name.size());
    displayWidth = std::max(displayWidth, row.display.size());
    labelWidth = std::max(labelWidth, row.label.size());
  }
  const int nw = static_cast<int>(nameWidth), dw = static_cast<int>(displayWidth),
            lw = static_cast<int>(labelWidth);
  report.line("  %5s  %-*s  %-*s  %-*s  %-9s  %s", "index", nw, "name", dw, "display", lw, "label",
              "value", "properties");
  for (const ParameterRow& row : rows)
    report.line("  %5d  %-*s  %-*s  %-*s  %-9.6f  %s", row.index, nw, row.name.c_str(), dw,
                row.display.c_str(), lw, row.label.c_str(), static_cast<double>(row.value),
                row.properties.c_str());
}

void buildReport(Report& report, HostedEffect& effect, const PluginLibrary& library,
                 const Arguments& arguments) {
  const VstInt32 delayAtStart = effect.initialDelay();

  report.line("Plug-in         %s (entry point %s)", library.path().c_str(),
              library.entryName().c_str());
  report.line("Effect name     %s", effect.effectName().value_or("(not given)").c_str());
  report.line("Product         %s", effect.productString().value_or("(not given)").c_str());
  report.line("Vendor          %s", effect.vendorString().value_or("(not given)").c_str());
  report.line("Vendor version  %d", effect.vendorVersion());
  report.line("Unique id       '%s' (0x%08X)", effect.uniqueIdText().c_str(),
              static_cast<unsigned>(effect.uniqueId()));
  report.line("Category        %d (%s)", effect.category(), categoryName(effect.category()));
  report.line("VST version     %d", effect.vstVersion());
  report.blank();
  report.line("Channels        %d in, %d out", effect.numInputs(), effect.numOutputs());
  report.line("Programs        %d", effect.numPrograms());
  report.line("Parameters      %d", effect.numParams());
  report.line("Flags           0x%X: chunks %s, replacing %s, double replacing %s, editor %s",
              static_cast<unsigned>(effect.flags()), yesNo(effect.hasProgramChunks()),
              yesNo(effect.canReplacing()), yesNo(effect.canDoubleReplacing()),
              yesNo(effect.hasEditor()));

  effect.setSampleRate(arguments.rate);
  effect.setBlockSize(arguments.block);
  effect.resume();
  report.line("Latency         %d samples after construction, %d after resume at %g Hz",
              delayAtStart, effect.initialDelay(), static_cast<double>(arguments.rate));
  report.line("Tail            %ld samples", static_cast<long>(effect.tailSize()));
  if (const auto rect = effect.editorRect())
    report.line("Editor size     %d x %d pixels", rect->right - rect->left,
                rect->bottom - rect->top);
  report.blank();

  report.line("canDo");
  const char* const questions[] = {"offline", "plugAsChannelInsert", "mixDryWet", "1in1out",
                                   "2in2out", "receiveVstMidiEvent"};
  for (const char* question : questions)
    report.line("  %-22s %ld", question, static_cast<long>(effect.canDo(question)));
  report.line("  %-22s %ld  (wrong case)", "Offline", static_cast<long>(effect.canDo("Offline")));
  report.blank();

  report.line("Pins");
  reportPins(report, effect, false);
  reportPins(report, effect, true);
  report.blank();

  report.line("Program names (indexed)");
  int listed = 0;
  for (VstInt32 index = 0; index < kMaxProgramsListed; ++index) {
    const auto name = effect.programNameIndexed(index);
    if (!name) break;
    report.line("  %3d  %s", index, name->c_str());
    ++listed;
  }
  if (!listed) report.line("  (none)");
  report.line("Current program %d %s", effect.program(), quoted(effect.programName()).c_str());
  report.blank();

  reportParameters(report, effect, arguments.all);
}

// Opens the editor without a window, as a host would with a window, sends the settings
// while it is open, lets it idle and asks it for its picture. Returns the exit code: 2 for a
// setting the plug-in does not take (the command line's fault), 1 for a failure.
int writeEditorShot(HostedEffect& effect, const Arguments& arguments) {
  effect.setSampleRate(arguments.rate);
  effect.setBlockSize(arguments.block);
  effect.resume();
  if (!effect.hasEditor()) {
    std::fputs("tavola-host: the plug-in has no editor\n", stderr);
    return 1;
  }
  if (effect.dispatch(effEditOpen) != 1) {
    std::fputs("tavola-host: the editor did not open\n", stderr);
    return 1;
  }
  bool settingsSent = true;
  int code = 0;
  for (const auto& [name, value] : arguments.settings) {
    tavola::render::ParameterSetting setting;
    const tavola::render::Status status =
        tavola::render::resolveSetting(effect, name, value, setting);
    if (!status.ok()) {
      std::fprintf(stderr, "tavola-host: %s\n", status.message().c_str());
      settingsSent = false;
      code = status.exitCode();
      break;
    }
    effect.setParameter(setting.index, setting.normalised);
  }
  effect.dispatch(effEditIdle);
  std::string path = arguments.editorShot;
  const bool written =
      settingsSent &&
      effect.dispatch(effVendorSpecific, tavola::kEditorPictureRequest, 0, path.data()) == 1;
  effect.dispatch(effEditClose);
  if (settingsSent && !written) {
    std::fprintf(stderr, "tavola-host: the editor could not write %s\n", path.c_str());
    code = 1;
  }
  return code;
}

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (!parseArguments(argc, argv, arguments)) {
    usage(stderr);
    return 2;
  }

  // Keep the real standard output for the report and send anything the plug-in prints to
  // standard output over to standard error, where its diagnostics already go.
  std::fflush(stdout);
  const int reportFd = dup(STDOUT_FILENO);
  if (reportFd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    std::perror("tavola-host: cannot set up standard output");
    return 1;
  }

  Report report;
  {
    PluginLibrary library(arguments.plugin);
    if (!library.entry()) {
      std::fprintf(stderr, "tavola-host: %s\n", library.error().c_str());
      return 1;
    }
    std::string error;
    std::unique_ptr<HostedEffect> effect = HostedEffect::create(library, &error);
    if (!effect) {
      std::fprintf(stderr, "tavola-host: %s\n", error.c_str());
      return 1;
    }
    if (!arguments.editorShot.empty()) return writeEditorShot(*effect, arguments);
    buildReport(report, *effect, library, arguments);
    // The effect is suspended and closed here, before its library is unloaded.
  }
  std::fflush(stdout);
  if (!writeAll(reportFd, report.text())) {
    std::perror("tavola-host: cannot write the report");
    return 1;
  }
  close(reportFd);
  return 0;
}
