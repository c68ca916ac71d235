#include "tools/tavola-render/Options.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>

#include "tools/common/CommandLine.h"
#include "tools/tavola-render/SoundFile.h"

namespace tavola::render {
namespace {

// A preset file is named .zeb: a name without an extension gets it, and a name with
// another (x.wav) is refused rather than given a preset's bytes under a sound file's name.
Status namePresetFile(std::string& path) {
  if (path.empty()) return Status();
  const std::filesystem::path name = std::filesystem::path(path).filename();
  std::string extension = name.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension.empty() && !name.empty()) {
    path += ".zeb";
    return Status();
  }
  if (extension == ".zeb") return Status();
  return Status::usage("--save-preset " + path + ": preset files are named .zeb (" +
                       std::filesystem::path(path).replace_extension(".zeb").string() + ", say)");
}

constexpr const char* kUsage =
    "usage: tavola-render [options] INPUT OUTPUT\n"
    "       tavola-render [options] --save-preset FILE\n"
    "       tavola-render --demo [OUTDIR]\n"
    "       tavola-render --list\n"
    "\n"
    "Renders an audio file (WAV, AIFF or FLAC; mono or stereo; any sample rate) through the\n"
    "Tavola plug-in, loaded as a host loads it. The output format follows OUTPUT's\n"
    "extension (.wav, .aif/.aiff, .flac) and keeps the input's sample format where it can,\n"
    "else 24-bit PCM.\n"
    "\n"
    "  --preset N|NAME     factory preset by number (0-6) or name, e.g. --preset Loudness\n"
    "                      (default: 0, \"Default\")\n"
    "  --preset-file FILE  start from a preset file (.zeb) instead of a factory preset\n"
    "  --bank FILE         start from a preset of a bank file (.zbb) ...\n"
    "  --bank-preset N     ... preset N of it, 0-6 (default: 0)\n"
    "  --set NAME=VALUE    set one parameter after the preset (repeatable); VALUE in the\n"
    "                      unit the plug-in shows (3.5dB, 47.6Hz, 2k, 2kHz, on, off) or a\n"
    "                      bare normalised number in [0, 1]; snapped to the nearest step\n"
    "  --double            process in double precision (default: single)\n"
    "  --block N           frames per processing call, 1 to 65536 (default: 512)\n"
    "  --no-compensate     keep the plug-in's latency at the start of the output\n"
    "  --tail              append the plug-in's tail (1024 frames) after the input\n"
    "  --float             write 32-bit floating-point samples (not with .flac)\n"
    "  --save-preset FILE  save the settings of the render as a preset file (.zeb); without\n"
    "                      INPUT and OUTPUT, save them and render nothing\n"
    "  --preset-name NAME  the saved preset's name, at most 23 bytes (default: FILE's name\n"
    "                      without its extension)\n"
    "  -f, --force         replace OUTPUT (and the saved preset) if it exists (the input is\n"
    "                      never replaced)\n"
    "  --plugin PATH       the plug-in to load (default: the Tavola.so of this build)\n"
    "  -v, --verbose       let the plug-in's diagnostic lines through to standard error\n"
    "  --list              list the factory presets and the parameters with their ranges\n"
    "  --demo [OUTDIR]     write a test signal, its renders through every factory preset\n"
    "                      and a plot of the presets' responses to OUTDIR (default:\n"
    "                      out/demo), replacing earlier demo files there\n"
    "  -h, --help          show this text\n"
    "\n"
    "Exit status: 0 done, 1 a file, plug-in or system failure, 2 a bad command line.\n";

std::optional<int> parseInteger(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

constexpr std::size_t kMaxPresetNameBytes = 23;

// What the preset options allow together: one starting preset, and the options that only
// make sense with another one.
Status checkPresetOptions(const Options& options, bool bankPresetGiven) {
  const bool presetFileOptions = !options.presetFile.empty() || !options.bank.empty() ||
                                 bankPresetGiven || !options.savePreset.empty() ||
                                 !options.presetName.empty();
  if (options.mode == Mode::kList && presetFileOptions)
    return Status::usage("--list takes no preset options");
  if (options.mode == Mode::kDemo && presetFileOptions)
    return Status::usage("--demo takes no preset options: it renders every factory preset");
  const int starts = (options.preset.empty() ? 0 : 1) + (options.presetFile.empty() ? 0 : 1) +
                     (options.bank.empty() ? 0 : 1);
  if (starts > 1)
    return Status::usage(
        "--preset, --preset-file and --bank each choose where the settings "
        "start: give one of them");
  if (bankPresetGiven && options.bank.empty())
    return Status::usage("--bank-preset chooses a preset of a bank: it needs --bank FILE");
  if (!options.presetName.empty() && options.savePreset.empty())
    return Status::usage("--preset-name names the saved preset: it needs --save-preset FILE");
  if (options.presetName.size() > kMaxPresetNameBytes)
    return Status::usage("--preset-name holds at most 23 bytes (got " +
                         std::to_string(options.presetName.size()) + ")");
  return Status();
}

}  // namespace

const char* usageText() {
  return kUsage;
}

Status parseOptions(const std::vector<std::string>& arguments, Options& options) {
  options = Options();
  bool demoDirectoryGiven = false;
  bool bankPresetGiven = false;
  using Value = CommandOption::Value;
  const CommandOption table[] = {
      textOption("preset", options.preset),
      textOption("preset-file", options.presetFile),
      textOption("bank", options.bank),
      {"bank-preset", 0, Value::kRequired,
       [&](const std::string& given, bool) {
         const std::optional<int> number = parseInteger(given);
         if (!number || *number < 0 || *number > 6)
           return Status::usage("--bank-preset wants a preset number from 0 to 6 (got \"" + given +
                                "\")");
         options.bankPreset = *number;
         bankPresetGiven = true;
         return Status();
       }},
      textOption("save-preset", options.savePreset),
      textOption("preset-name", options.presetName),
      {"set", 0, Value::kRequired,
       [&](const std::string& given, bool) {
         const std::size_t equals = given.find('=');
         if (equals == std::string::npos || equals == 0 || equals + 1 == given.size())
           return Status::usage("--set wants NAME=VALUE, e.g. --set LFgain=3.5dB (got \"" + given +
                                "\")");
         options.parameters.push_back({given.substr(0, equals), given.substr(equals + 1)});
         return Status();
       }},
      {"block", 0, Value::kRequired,
       [&](const std::string& given, bool) {
         const std::optional<int> block = parseInteger(given);
         if (!block || *block < 1 || *block > kMaxBlockSize)
           return Status::usage("--block wants a whole number from 1 to 65536 (got \"" + given +
                                "\")");
         options.settings.blockSize = *block;
         return Status();
       }},
      textOption("plugin", options.plugin),
      switchOption("double", options.settings.useDouble),
      {"no-compensate", 0, Value::kNone,
       [&](const std::string&, bool) {
         options.settings.compensate = false;
         return Status();
       }},
      switchOption("tail", options.settings.appendTail),
      switchOption("float", options.floatOutput),
      switchOption("force", options.force, 'f'),
      switchOption("verbose", options.verbose, 'v'),
      {"list", 0, Value::kNone,
       [&](const std::string&, bool) {
         options.mode = Mode::kList;
         return Status();
       }},
      {"demo", 0, Value::kOptional,
       [&](const std::string& given, bool hasValue) {
         options.mode = Mode::kDemo;
         if (hasValue) options.demoDirectory = given;
         demoDirectoryGiven = demoDirectoryGiven || hasValue;
         return Status();
       }},
      {"help", 'h', Value::kNone,
       [&](const std::string&, bool) {
         options.mode = Mode::kHelp;
         return Status();
       },
       true},
  };
  std::vector<std::string> positional;
  if (Status status = parseCommandLine(arguments, table, positional); !status.ok()) return status;

  if (options.mode == Mode::kHelp) return Status();
  if (Status status = checkPresetOptions(options, bankPresetGiven); !status.ok()) return status;

  switch (options.mode) {
    case Mode::kHelp:
    case Mode::kSavePreset:
      return Status();
    case Mode::kList:
      if (!positional.empty()) return Status::usage("--list takes no files");
      return Status();
    case Mode::kDemo:
      if (positional.size() > (demoDirectoryGiven ? 0u : 1u))
        return Status::usage("--demo takes one output folder at most");
      if (!positional.empty()) options.demoDirectory = positional.front();
      if (options.demoDirectory.empty()) return Status::usage("--demo needs a folder name");
      return Status();
    case Mode::kRender:
      break;
  }

  if (Status named = namePresetFile(options.savePreset); !named.ok()) return named;
  if (positional.empty() && !options.savePreset.empty()) {
    options.mode = Mode::kSavePreset;
    return Status();
  }
  if (positional.size() < 2)
    return Status::usage(positional.empty() ? "no input and output files given (see --help)"
                                            : "no output file given (see --help)");
  if (positional.size() > 2)
    return Status::usage("one input and one output file, please (extra: " + positional[2] + ")");
  options.input = positional[0];
  options.output = positional[1];
  if (options.savePreset == options.output)
    return Status::usage("--save-preset and OUTPUT name the same file (" + options.output + ")");

  const std::optional<int> container = containerForPath(options.output);
  if (!container)
    return Status::usage("cannot tell the output format from \"" + options.output +
                         "\": use .wav, .aif, .aiff or .flac");
  if (options.floatOutput && !containerHoldsFloat(*container))
    return Status::usage("FLAC holds integer samples only; --float needs a .wav or .aiff output");
  return Status();
}

}  // namespace tavola::render
