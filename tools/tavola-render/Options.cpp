#include "tools/tavola-render/Options.h"

#include <getopt.h>

#include <charconv>
#include <cstring>
#include <optional>

#include "tools/tavola-render/SoundFile.h"

namespace tavola::render {
namespace {

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

  enum : int {
    kPreset = 256,
    kPresetFile,
    kBank,
    kBankPreset,
    kSavePreset,
    kPresetName,
    kSet,
    kBlock,
    kPlugin,
    kDouble,
    kNoCompensate,
    kTail,
    kFloat,
    kList,
    kDemo,
  };
  static const option kLongOptions[] = {
      {"preset", required_argument, nullptr, kPreset},
      {"preset-file", required_argument, nullptr, kPresetFile},
      {"bank", required_argument, nullptr, kBank},
      {"bank-preset", required_argument, nullptr, kBankPreset},
      {"save-preset", required_argument, nullptr, kSavePreset},
      {"preset-name", required_argument, nullptr, kPresetName},
      {"set", required_argument, nullptr, kSet},
      {"block", required_argument, nullptr, kBlock},
      {"plugin", required_argument, nullptr, kPlugin},
      {"double", no_argument, nullptr, kDouble},
      {"no-compensate", no_argument, nullptr, kNoCompensate},
      {"tail", no_argument, nullptr, kTail},
      {"float", no_argument, nullptr, kFloat},
      {"force", no_argument, nullptr, 'f'},
      {"verbose", no_argument, nullptr, 'v'},
      {"list", no_argument, nullptr, kList},
      {"demo", optional_argument, nullptr, kDemo},
      {"help", no_argument, nullptr, 'h'},
      {nullptr, 0, nullptr, 0},
  };
  auto longName = [](int value) -> std::string {
    for (const option& o : kLongOptions)
      if (o.name && o.val == value) return std::string("--") + o.name;
    return std::string("-") + static_cast<char>(value);
  };
  auto takesValue = [](int value) {
    for (const option& o : kLongOptions)
      if (o.name && o.val == value) return o.has_arg == required_argument;
    return false;
  };

  std::vector<std::string> words = {"tavola-render"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  // Errors are ours to word: getopt stays quiet and starts afresh on every call.
  opterr = 0;
  optind = 0;
  for (;;) {
    const int choice = getopt_long(argc, argv.data(), ":fvh", kLongOptions, nullptr);
    if (choice == -1) break;
    const std::string given = optarg ? optarg : "";
    // Options that only store their value, or only set a switch.
    const std::pair<int, std::string*> texts[] = {{kPreset, &options.preset},
                                                  {kPresetFile, &options.presetFile},
                                                  {kBank, &options.bank},
                                                  {kSavePreset, &options.savePreset},
                                                  {kPresetName, &options.presetName},
                                                  {kPlugin, &options.plugin}};
    const std::pair<int, bool*> setters[] = {{kDouble, &options.settings.useDouble},
                                             {kTail, &options.settings.appendTail},
                                             {kFloat, &options.floatOutput},
                                             {'f', &options.force},
                                             {'v', &options.verbose}};
    bool stored = false;
    for (const auto& [id, field] : texts) {
      if (id != choice) continue;
      if (given.empty()) return Status::usage(longName(choice) + " needs a value");
      *field = given;
      stored = true;
    }
    for (const auto& [id, field] : setters) {
      if (id != choice) continue;
      *field = true;
      stored = true;
    }
    if (choice == kNoCompensate) {
      options.settings.compensate = false;
      stored = true;
    }
    if (stored) continue;
    switch (choice) {
      case ':':
        return Status::usage(longName(optopt) + " needs a value");
      case '?':
        if (optopt != 0 && optopt >= kPreset)
          return Status::usage(longName(optopt) +
                               (takesValue(optopt) ? " needs a value" : " takes no value"));
        if (optopt != 0 && std::strchr("fvh", optopt) == nullptr)
          return Status::usage(std::string("unknown option -") + static_cast<char>(optopt) +
                               " (see --help)");
        if (optopt != 0) return Status::usage(longName(optopt) + " takes no value");
        {
          std::string word = argv[static_cast<std::size_t>(optind - 1)];
          if (const std::size_t equals = word.find('='); equals != std::string::npos)
            word.erase(equals);
          return Status::usage("unknown option " + word + " (see --help)");
        }
      case kBankPreset: {
        const std::optional<int> number = parseInteger(given);
        if (!number || *number < 0 || *number > 6)
          return Status::usage("--bank-preset wants a preset number from 0 to 6 (got \"" + given +
                               "\")");
        options.bankPreset = *number;
        bankPresetGiven = true;
        break;
      }
      case kSet: {
        const std::size_t equals = given.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == given.size())
          return Status::usage("--set wants NAME=VALUE, e.g. --set LFgain=3.5dB (got \"" + given +
                               "\")");
        options.parameters.push_back({given.substr(0, equals), given.substr(equals + 1)});
        break;
      }
      case kBlock: {
        const std::optional<int> block = parseInteger(given);
        if (!block || *block < 1 || *block > kMaxBlockSize)
          return Status::usage("--block wants a whole number from 1 to 65536 (got \"" + given +
                               "\")");
        options.settings.blockSize = *block;
        break;
      }
      case kList:
        options.mode = Mode::kList;
        break;
      case kDemo:
        options.mode = Mode::kDemo;
        if (optarg) {
          options.demoDirectory = given;
          demoDirectoryGiven = true;
        }
        break;
      case 'h':
        options.mode = Mode::kHelp;
        return Status();
      default:
        return Status::usage("unknown option " +
                             std::string(argv[static_cast<std::size_t>(optind - 1)]) +
                             " (see --help)");
    }
  }
  // getopt has moved the files behind the options.
  std::vector<std::string> positional(argv.begin() + optind, argv.end() - 1);

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
