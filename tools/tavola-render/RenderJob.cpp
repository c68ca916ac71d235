#include "tools/tavola-render/RenderJob.h"

#include <cmath>
#include <cstdio>

#include "tools/tavola-render/OutputFile.h"
#include "tools/tavola-render/Presets.h"
#include "tools/tavola-render/SoundFile.h"

namespace tavola::render {

RenderJob renderJobFor(const Options& options) {
  RenderJob job;
  job.input = options.input;
  job.output = options.output;
  job.preset = options.preset;
  job.parameters = options.parameters;
  job.settings.blockSize = options.blockSize;
  job.settings.useDouble = options.useDouble;
  job.settings.compensate = options.compensate;
  job.settings.appendTail = options.appendTail;
  job.floatOutput = options.floatOutput;
  job.force = options.force;
  return job;
}

Status renderFile(const PluginHost& host, const Console& console, const RenderJob& job,
                  const RenderProgress& progress, RenderSummary& summary) {
  summary = RenderSummary();
  int preset = 0;
  if (!job.preset.empty()) {
    if (Status status = findPreset(job.preset, preset); !status.ok()) return status;
  }
  std::vector<ParameterSetting> settings;
  if (Status status = resolveSettings(host, console, job.parameters, settings); !status.ok())
    return status;

  const std::optional<int> container = containerForPath(job.output);
  if (!container)
    return Status::usage("cannot tell the output format from \"" + job.output +
                         "\": use .wav, .aif, .aiff or .flac");

  std::unique_ptr<SoundFileReader> input;
  if (Status status = SoundFileReader::open(job.input, input); !status.ok()) return status;
  if (Status status = checkOutputPath(job.output, job.input, job.force); !status.ok())
    return status;
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
  setup.preset = preset;
  setup.settings = settings;
  if (Status status = prepareEffect(*effect, console, setup); !status.ok()) return status;

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

  summary.output = job.output;
  summary.format = describeFormat(format);
  summary.floatSamples = isFloatFormat(format);
  summary.frames = result.framesWritten;
  summary.sampleRate = input->sampleRate();
  summary.channels = input->channels();
  summary.preset = preset;
  summary.settings = settings;
  summary.result = result;
  summary.compensated = job.settings.compensate;
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
  add("Preset      %d %s", summary.preset, presetName(summary.preset).c_str());
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
