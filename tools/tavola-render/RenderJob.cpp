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
  // The options named it .zeb, so --force replaces an earlier preset, never a sound file.
  const std::string& target = job.savePreset;
  return checkOutputPath(target, job.input, job.force);
}

// An instance set up as the job asks, and the image of its settings as they are before the
// first sample (what the render used) when the job saves them.
struct PreparedEffect {
  std::unique_ptr<HostedEffect> effect;
  std::vector<unsigned char> presetImage;
  std::string presetName;
};

Status prepareJobEffect(const PluginHost& host, const Console& console, const RenderJob& job,
                        const ResolvedSettings& resolved, EffectSetup setup,
                        PreparedEffect& prepared) {
  if (Status status = host.createInstance(prepared.effect); !status.ok()) return status;
  setup.blockSize = job.settings.blockSize;
  resolved.start.applyTo(setup);
  setup.settings = resolved.settings;
  if (Status status = prepareEffect(*prepared.effect, console, setup); !status.ok()) return status;
  if (job.savePreset.empty()) return Status();
  std::string& name = prepared.presetName;
  name = job.presetName.empty() ? presetNameFromPath(job.savePreset) : job.presetName;
  if (job.presetName.empty() && name.size() < presetStemFromPath(job.savePreset).size())
    console.warning("the preset is named \"" + name + "\": a preset name holds at most 23 bytes (" +
                    "--preset-name gives another)");
  auto quiet = console.pluginCalls();
  return currentPresetImage(*prepared.effect, resolved.facts, name, prepared.presetImage);
}

Status savePresetImage(const RenderJob& job, const PreparedEffect& prepared,
                       RenderSummary& summary) {
  if (job.savePreset.empty()) return Status();
  if (Status status = writeWholeFile(job.savePreset, prepared.presetImage); !status.ok())
    return status;
  summary.savedPreset = job.savePreset;
  summary.savedName = prepared.presetName;
  return Status();
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

  EffectSetup setup;
  setup.sampleRate = input->sampleRate();
  setup.channels = input->channels();
  PreparedEffect prepared;
  if (Status status = prepareJobEffect(host, console, job, resolved, setup, prepared); !status.ok())
    return status;

  std::unique_ptr<OutputFile> file;
  if (Status status = OutputFile::create(job.output, file); !status.ok()) return status;
  std::unique_ptr<SoundFileWriter> writer;
  if (Status status = SoundFileWriter::open(file->fd(), job.output, format, input->channels(),
                                            input->sampleRate(), writer);
      !status.ok())
    return status;

  RenderResult result;
  if (Status status = renderFrames(*prepared.effect, console, *input, input->frames(),
                                   input->channels(), *writer, job.settings, progress, result);
      !status.ok())
    return status;
  if (Status status = writer->close(); !status.ok()) return status;
  if (Status status = file->commit(); !status.ok()) return status;
  if (Status status = savePresetImage(job, prepared, summary); !status.ok()) return status;

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

  PreparedEffect prepared;
  if (Status status = prepareJobEffect(host, console, job, resolved, EffectSetup(), prepared);
      !status.ok())
    return status;
  if (Status status = savePresetImage(job, prepared, summary); !status.ok()) return status;
  describeSettings(resolved, summary);
  return Status();
}

namespace {

void addLine(std::string& text, const char* format, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  text += line;
  text += '\n';
}

// The starting preset and the parameters set after it.
void addSettings(std::string& text, const RenderSummary& summary) {
  text += "Preset      " + summary.presetText + "\n";
  for (const ParameterSetting& setting : summary.settings)
    addLine(text, "Set         %s = %s (normalised %.6g)", setting.name.c_str(),
            setting.text.c_str(), static_cast<double>(setting.normalised));
}

void addSaved(std::string& text, const RenderSummary& summary) {
  if (!summary.savedPreset.empty())
    text += "Saved       " + summary.savedPreset + " (preset \"" + summary.savedName + "\")\n";
}

}  // namespace

std::string formatSummary(const RenderSummary& summary) {
  std::string text;
  const auto add = [&text](const char* format, auto... values) {
    addLine(text, format, values...);
  };
  add("Output      %s (%s)", summary.output.c_str(), summary.format.c_str());
  add("Frames      %ld (%.3f s)", summary.frames,
      summary.sampleRate > 0 ? static_cast<double>(summary.frames) / summary.sampleRate : 0.0);
  add("Rate        %d Hz", summary.sampleRate);
  add("Channels    %d (%s)", summary.channels, summary.channels == 1 ? "mono" : "stereo");
  addSettings(text, summary);
  add("Latency     %d frames (%s)", summary.result.latency,
      summary.compensated ? "compensated" : "kept at the start");
  if (summary.result.tail > 0) add("Tail        %ld frames appended", summary.result.tail);
  if (summary.result.peak > 0.0)
    add("Peak        %.2f dBFS (%.6f)", 20.0 * std::log10(summary.result.peak),
        summary.result.peak);
  else
    text += "Peak        -inf dBFS (0)\n";
  add("Over 1.0    %ld samples", summary.result.overs);
  addSaved(text, summary);
  return text;
}

std::string formatSaveSummary(const RenderSummary& summary) {
  std::string text;
  addSettings(text, summary);
  addSaved(text, summary);
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
