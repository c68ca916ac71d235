// tavola-preset: prints what Tavola preset files, bank files and host state chunks hold,
// or says precisely why the plug-in would refuse one; and writes the plug-in's state
// chunk to a file. Files are read with the plug-in's own format code; the parameter names
// and value texts come from the plug-in itself, loaded through the in-repo host.
//
// Standard output carries the reports; standard error the reasons a file was refused.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/tavola-preset/ContentsReport.h"
#include "tools/tavola-preset/FileContents.h"
#include "tools/tavola-preset/ToolOptions.h"
#include "tools/common/Console.h"
#include "tools/common/EffectSession.h"
#include "tools/common/OutputFile.h"
#include "tools/common/PluginPath.h"
#include "tools/common/PresetFiles.h"
#include "tools/common/Presets.h"
#include "vsthost/HostedEffect.h"

using namespace tavola;
using namespace tavola::presettool;
using render::Console;
using render::Status;

namespace {

int fail(const Console& console, const Status& status) {
  console.error(status.message());
  return status.exitCode();
}

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The names and value texts, asked of a live instance: each value is set and its display
// text read back, so nothing of the plug-in's mappings is repeated here.
ParameterTexts textsOf(HostedEffect& effect, const Console& console) {
  ParameterTexts texts;
  texts.name = [&effect](int index) { return trimmed(effect.parameterName(index)); };
  texts.display = [&effect, &console](int index, float value) {
    auto quiet = console.probeCalls();
    effect.setParameter(index, value);
    return trimmed(effect.parameterDisplay(index));
  };
  return texts;
}

// Prints one file; false when it could not be read or was refused.
bool printFile(const std::string& path, HostedEffect& effect,
               const render::PluginPresetFacts& facts, const Console& console) {
  std::vector<unsigned char> bytes;
  if (Status status = render::readPresetFileBytes(path, bytes); !status.ok()) {
    console.error(status.message());
    return false;
  }
  FileContents contents;
  const ImageReadResult result = readFileContents(bytes, facts.uniqueId, ~facts.stored, contents);
  if (!result.ok()) {
    console.error(path + " was refused: " + result.reason);
    return false;
  }
  std::fputs(
      formatContents(path, bytes.size(), contents, facts.stored, textsOf(effect, console)).c_str(),
      stdout);
  std::fflush(stdout);
  return true;
}

int printFiles(const render::PluginHost& host, const Console& console, const ToolOptions& options) {
  std::unique_ptr<HostedEffect> effect;
  render::PluginPresetFacts facts;
  {
    auto quiet = console.probeCalls();
    if (Status status = host.createInstance(effect); !status.ok()) return fail(console, status);
    if (Status status = render::learnPresetFacts(*effect, facts); !status.ok())
      return fail(console, status);
  }
  bool allRead = true;
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    if (i > 0) std::fputs("\n", stdout);
    allRead = printFile(options.files[i], *effect, facts, console) && allRead;
  }
  return allRead ? 0 : 1;
}

int writeChunk(const render::PluginHost& host, const Console& console, const ToolOptions& options) {
  int preset = 0;
  if (!options.preset.empty()) {
    if (Status status = render::findPreset(options.preset, preset); !status.ok())
      return fail(console, status);
  }
  if (Status status = render::checkOutputPath(options.writeChunk, "", options.force); !status.ok())
    return fail(console, status);
  std::unique_ptr<HostedEffect> effect;
  if (Status status = host.createInstance(effect); !status.ok()) return fail(console, status);
  render::EffectSetup setup;
  setup.preset = preset;
  if (Status status = render::prepareEffect(*effect, console, setup); !status.ok())
    return fail(console, status);
  std::vector<unsigned char> chunk;
  {
    auto quiet = console.pluginCalls();
    // The host's name for the program is the current preset's name.
    effect->setProgramName(render::presetName(preset));
    chunk = effect->getChunk();
  }
  if (chunk.empty()) return fail(console, Status::runtime("the plug-in gave no state chunk"));
  if (Status status = render::writeWholeFile(options.writeChunk, chunk); !status.ok())
    return fail(console, status);
  std::printf("Wrote %s (%zu bytes): the state chunk with factory preset %d %s\n",
              options.writeChunk.c_str(), chunk.size(), preset, render::presetName(preset).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ToolOptions options;
  const Status parsed = parseToolOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!parsed.ok()) {
    std::fprintf(stderr, "tavola-preset: %s\n", parsed.message().c_str());
    return parsed.exitCode();
  }
  if (options.help) {
    std::fputs(toolUsageText(), stdout);
    return 0;
  }

  const Console console(false, "tavola-preset");
  std::unique_ptr<render::PluginHost> host;
  const std::string plugin =
      options.plugin.empty() ? render::findBuiltPlugin(TAVOLA_PRESET_PLUGIN_PATH) : options.plugin;
  if (Status status = render::PluginHost::load(plugin, console, host); !status.ok())
    return fail(console, status);
  return options.writeChunk.empty() ? printFiles(*host, console, options)
                                    : writeChunk(*host, console, options);
}
