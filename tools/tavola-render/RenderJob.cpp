#include "tools/tavola-render/RenderJob.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "tools/common/OutputFile.h"
#include "tools/common/PresetFiles.h"
#include "tools/common/Presets.h"
#include "tools/tavola-render/SoundFile.h"
#include "tools/tavola-render/StartingPreset.h"

namespace tavola::render {

namespace {

// The settings a job asks for, checked against the plug-in: the starting preset (files
// read as the plug-in reads them) and every --set.
struct ResolvedSettings {
  PluginPresetFacts facts;
  StartingPreset start;
  std::vector<ParameterSetting> settings;
};

Status resolveJob(const PluginHost& host, const Console& console, const RenderJob& job,
                  ResolvedSettings& resolved) {
  // A factory preset's name is checked first, before the plug-in is asked anything.
  if (job.presetFile.empty() && job.bank.empty() && !job.preset.empty()) {
    int index = 0;
    if (Status status = findPreset(job.preset, index); !status.ok()) return status;
  }
  if (!job.presetFile.empty() || !job.bank.empty() || !job.savePreset.empty()) {
    if (Status status = learnPresetFacts(host, console, resolved.facts); !status.ok())
      return status;
  }
  if (Status status = chooseStartingPreset(job.preset, job.presetFile, job.bank, job.bankPreset,
                                           resolved.facts, resolved.start);
      !status.ok())
    return status;
  return resolveSettings(host, console, job.parameters, resolved.settings);
}

// The preset file the job saves: never the input, nor an existing file without --force.
Status checkSavePath(const RenderJob& job) {
  if (job.savePreset.empty()) return Status();
  if (!job.output.empty() && sameFile(job.savePreset, job.output))
    return Status::usage("--save-preset and OUTPUT name the same file (" + job.output + ")");
  // --force replaces an earlier preset, never a sound file or anything else that happens
  // to carry the name.
  const std::string& target = job.savePreset;
  const bool presetName = target.size() > 4 && target.compare(target.size() - 4, 4, ".zeb") == 0;
  struct stat existing {};
  if (!presetName && ::stat(target.c_str(), &existing) == 0)
    return Status::usage(target +
                         " exists and is not a preset file (.zeb); --save-preset "
                         "replaces only preset files");
  return checkOutputPath(target, job.input, job.force);
}

// The preset image of the instance's settings, named as the job asks.
Status savedPresetImage(HostedEffect& effect, const Console& console, const RenderJob& job,
                        const PluginPresetFacts& facts, std::vector<unsigned char>& image,
                        std::string& name) {
  name = job.presetName.empty() ? presetNameFromPath(job.savePreset) : job.presetName;
  if (job.presetName.empty() && name.size() < presetStemFromPath(job.savePreset).size())
    console.warning("the preset is named \"" + name + "\": a preset name holds at most 23 bytes (" +
                    "--preset-name gives another)");
  auto quiet = console.pluginCalls();
  return currentPresetImage(effect, facts, name, image);
}

void describeSettings(const ResolvedSettings& resolved, RenderSummary& summary) {
  summary.preset = resolved.start.factoryIndex;
  summary.presetText = resolved.start.description();
  summary.settings = resolved.settings;
}

}  // namespace

Status renderFile(const PluginHost& host, const Console& console, const RenderJob& job,
                  const RenderProgress& progress, RenderSummary& summary) {
  summary = RenderSummary();
  ResolvedSettings resolved;
  if (Status status = resolveJob(host, console, job, resolved); !status.ok()) return status;

  const std::optional<int> container = containerForPath(job.output);
  if (!container)
    return Status::usage("cannot tell the output format from \"" + job.output +
                         "\": use .wav, .aif, .aiff or .flac");

  std::unique_ptr<SoundFileReader> input;
  if (Status status = SoundFileReader::open(job.input, input); !status.ok()) return status;
  if (Status status = checkOutputPath(job.output, job.input, job.force); !status.ok())
    return status;
  if (Status status = checkSavePath(job); !status.ok()) return status;
  if (const long missing = input->framesMissing(); missing > 0)
    console.warning(job.input + " is cut short: " + std::to_string(missing) +
                    " frames that its header promises are missing; rendering the " +
                    std::to_string(input->frames()) + " that are there");
  const int format = chooseOutputFormat(*container, input->format(), job.floatOutput,
                                        input->channels(), input->sampleRate());
  if (format == 0)
    return Status::usage("cannot write " + job.output + " in that format at " +
                         std::to_string(input->sampleRate()) + " Hz");

  std::unique_ptr<HostedEffect> effect;
  if (Status status = host.createInstance(effect); !status.ok()) return status;
  EffectSetup setup;
  setup.sampleRate = input->sampleRate();
  setup.channels = input->channels();
  setup.blockSize = job.settings.blockSize;
  resolved.start.applyTo(setup);
  setup.settings = resolved.settings;
  if (Status status = prepareEffect(*effect, console, setup); !status.ok()) return status;
  // The settings as they are before the first sample: what the render used.
  std::vector<unsigned char> presetImage;
  std::string presetName;
  if (!job.savePreset.empty()) {
    if (Status status =
            savedPresetImage(*effect, console, job, resolved.facts, presetImage, presetName);
        !status.ok())
      return status;
  }

  std::unique_ptr<OutputFile> file;
  if (Status status = OutputFile::create(job.output, file); !status.ok()) return status;
  std::unique_ptr<SoundFileWriter> writer;
  if (Status status = SoundFileWriter::open(file->fd(), job.output, format, input->channels(),
                                            input->sampleRate(), writer);
      !status.ok())
    return status;

  RenderResult result;
  if (Status status = renderFrames(*effect, console, *input, input->frames(), input->channels(),
                                   *writer, job.settings, progress, result);
      !status.ok())
    return status;
  if (Status status = writer->close(); !status.ok()) return status;
  if (Status status = file->commit(); !status.ok()) return status;
  if (!job.savePreset.empty()) {
    if (Status status = writeWholeFile(job.savePreset, presetImage); !status.ok()) return status;
    summary.savedPreset = job.savePreset;
    summary.savedName = presetName;
  }

  summary.output = job.output;
  summary.format = describeFormat(format);
  summary.floatSamples = isFloatFormat(format);
  summary.frames = result.framesWritten;
  summary.sampleRate = input->sampleRate();
  summary.channels = input->channels();
  describeSettings(resolved, summary);
  summary.result = result;
  summary.compensated = job.settings.compensate;
  return Status();
}

Status saveSettings(const PluginHost& host, const Console& console, const RenderJob& job,
                    RenderSummary& summary) {
  summary = RenderSummary();
  ResolvedSettings resolved;
  if (Status status = resolveJob(host, console, job, resolved); !status.ok()) return status;
  if (Status status = checkSavePath(job); !status.ok()) return status;

  std::unique_ptr<HostedEffect> effect;
  if (Status status = host.createInstance(effect); !status.ok()) return status;
  EffectSetup setup;
  setup.blockSize = job.settings.blockSize;
  resolved.start.applyTo(setup);
  setup.settings = resolved.settings;
  if (Status status = prepareEffect(*effect, console, setup); !status.ok()) return status;
  std::vector<unsigned char> presetImage;
  std::string presetName;
  if (Status status =
          savedPresetImage(*effect, console, job, resolved.facts, presetImage, presetName);
      !status.ok())
    return status;
  if (Status status = writeWholeFile(job.savePreset, presetImage); !status.ok()) return status;
  summary.savedPreset = job.savePreset;
  summary.savedName = presetName;
  describeSettings(resolved, summary);
  return Status();
}

std::string formatSummary(const RenderSummary& summary) {
  char line[256];
  std::string text;
  auto add = [&](const char* format, auto... values) {
    std::snprintf(line, sizeof line, format, values...);
    text += line;
    text += '\n';
  };
  add("Output      %s (%s)", summary.output.c_str(), summary.format.c_str());
  add("Frames      %ld (%.3f s)", summary.frames,
      summary.sampleRate > 0 ? static_cast<double>(summary.frames) / summary.sampleRate : 0.0);
  add("Rate        %d Hz", summary.sampleRate);
  add("Channels    %d (%s)", summary.channels, summary.channels == 1 ? "mono" : "stereo");
  add("Preset      %s", summary.presetText.c_str());
  for (const ParameterSetting& setting : summary.settings)
    add("Set         %s = %s (normalised %.6g)", setting.name.c_str(), setting.text.c_str(),
        static_cast<double>(setting.normalised));
  add("Latency     %d frames (%s)", summary.result.latency,
      summary.compensated ? "compensated" : "kept at the start");
  if (summary.result.tail > 0) add("Tail        %ld frames appended", summary.result.tail);
  if (summary.result.peak > 0.0)
    add("Peak        %.2f dBFS (%.6f)", 20.0 * std::log10(summary.result.peak),
        summary.result.peak);
  else
    add("%s", "Peak        -inf dBFS (0)");
  add("Over 1.0    %ld samples", summary.result.overs);
  if (!summary.savedPreset.empty())
    text += "Saved       " + summary.savedPreset + " (preset \"" + summary.savedName + "\")\n";
  return text;
}

std::string formatSaveSummary(const RenderSummary& summary) {
  std::string text = "Preset      " + summary.presetText + "\n";
  char line[256];
  for (const ParameterSetting& setting : summary.settings) {
    std::snprintf(line, sizeof line, "Set         %s = %s (normalised %.6g)\n",
                  setting.name.c_str(), setting.text.c_str(),
                  static_cast<double>(setting.normalised));
    text += line;
  }
  text += "Saved       " + summary.savedPreset + " (preset \"" + summary.savedName + "\")\n";
  return text;
}

std::string overWarning(const RenderSummary& summary) {
  if (summary.result.overs == 0) return "";
  return std::to_string(summary.result.overs) + " samples exceeded full scale (" +
         (summary.floatSamples ? "kept as they are in the float file"
                               : "clipped in the integer file") +
         "); lower the output level, e.g. --set OUTput=-3dB";
}

}  // namespace tavola::render
