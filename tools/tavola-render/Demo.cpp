#include "tools/tavola-render/Demo.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>

#include "tools/common/OutputFile.h"
#include "tools/common/Presets.h"
#include "tools/tavola-render/DemoSignal.h"
#include "tools/tavola-render/RenderJob.h"
#include "tools/tavola-render/Response.h"
#include "tools/tavola-render/SoundFile.h"

namespace tavola::render {
namespace {

std::string join(const std::string& directory, const std::string& name) {
  return directory.ends_with('/') ? directory + name : directory + "/" + name;
}

Status writeSignal(const std::string& path, const std::vector<double>& interleaved, int rate) {
  std::unique_ptr<OutputFile> file;
  if (Status status = OutputFile::create(path, file); !status.ok()) return status;
  std::unique_ptr<SoundFileWriter> writer;
  if (Status status = SoundFileWriter::open(file->fd(), path, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2,
                                            rate, writer);
      !status.ok())
    return status;
  if (!writer->write(interleaved.data(), static_cast<long>(interleaved.size() / 2)))
    return Status::runtime(writer->error());
  if (Status status = writer->close(); !status.ok()) return status;
  return file->commit();
}

Status measurePreset(const PluginHost& host, const Console& console, int preset,
                     const DemoSettings& settings, std::vector<double>& response) {
  std::unique_ptr<HostedEffect> effect;
  if (Status status = host.createInstance(effect); !status.ok()) return status;
  EffectSetup setup;
  setup.sampleRate = settings.sampleRate;
  setup.channels = 1;
  setup.blockSize = settings.render.blockSize;
  setup.preset = preset;
  if (Status status = prepareEffect(*effect, console, setup); !status.ok()) return status;
  return measureImpulseResponse(*effect, console, settings.impulseFrames, settings.render.blockSize,
                                response);
}

}  // namespace

Status runDemo(const PluginHost& host, const Console& console, const std::string& directory,
               const DemoSettings& settings, const std::function<void(const std::string&)>& note,
               DemoReport& report) {
  report = DemoReport();
  const auto stopped = [&settings] { return settings.keepGoing && !settings.keepGoing(); };
  const RenderProgress progress = [&stopped](long, long) { return !stopped(); };
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) return Status::runtime("cannot make the folder " + directory + ": " + error.message());

  const std::string input = join(directory, "input.wav");
  DemoSignalSettings signal;
  signal.seconds = settings.signalSeconds;
  signal.sampleRate = settings.sampleRate;
  if (Status status = writeSignal(input, synthesiseDemoSignal(signal), settings.sampleRate);
      !status.ok())
    return status;
  report.files.push_back(input);
  if (note) note(input);

  for (int preset = 0; preset < presetCount(); ++preset) {
    if (stopped()) return Status::interrupted();
    RenderJob job;
    job.input = input;
    job.output = join(directory, presetFileStem(preset) + ".wav");
    job.preset = std::to_string(preset);
    job.settings = settings.render;
    // The demo's own files from an earlier run are meant to be replaced.
    job.force = true;
    RenderSummary summary;
    if (Status status = renderFile(host, console, job, progress, summary); !status.ok())
      return status;
    report.files.push_back(job.output);
    if (note) note(job.output);
  }

  report.frequencies = logSpacedFrequencies(20.0, 20000.0, settings.plotPoints);
  report.tableFrequencies = {30.0, 100.0, 1000.0, 5000.0, 15000.0};
  for (int preset = 0; preset < presetCount(); ++preset) {
    if (stopped()) return Status::interrupted();
    std::vector<double> response;
    if (Status status = measurePreset(host, console, preset, settings, response); !status.ok())
      return status;
    report.curves.push_back(
        {presetName(preset), magnitudeDb(response, settings.sampleRate, report.frequencies)});
    report.table.push_back(magnitudeDb(response, settings.sampleRate, report.tableFrequencies));
  }

  PlotLayout layout;
  layout.title = "Tavola factory presets: magnitude response";
  char subtitle[200];
  std::snprintf(subtitle, sizeof subtitle,
                "Measured through the plug-in: impulse response of %ld samples at %d Hz; "
                "dashed where a curve runs on top of an earlier one",
                settings.impulseFrames, settings.sampleRate);
  layout.subtitle = subtitle;
  if (stopped()) return Status::interrupted();
  const std::string plot = join(directory, "responses.png");
  if (Status status = writeResponsePlot(plot, report.frequencies, report.curves, layout);
      !status.ok())
    return status;
  report.files.push_back(plot);
  if (note) note(plot);
  return Status();
}

std::string formatResponseTable(const DemoReport& report) {
  std::string text = "  preset      ";
  char cell[32];
  for (double hz : report.tableFrequencies) {
    if (hz >= 1000.0)
      std::snprintf(cell, sizeof cell, "%7gk", hz / 1000.0);
    else
      std::snprintf(cell, sizeof cell, "%8g", hz);
    text += cell;
  }
  text += "   (Hz; levels in dB)\n";
  for (std::size_t p = 0; p < report.table.size() && p < report.curves.size(); ++p) {
    std::snprintf(cell, sizeof cell, "  %-12s", report.curves[p].label.c_str());
    text += cell;
    for (double db : report.table[p]) {
      std::snprintf(cell, sizeof cell, "%+8.2f", db);
      text += cell;
    }
    text += '\n';
  }
  return text;
}

}  // namespace tavola::render
