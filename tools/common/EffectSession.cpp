#include "tools/common/EffectSession.h"

#include <algorithm>
#include <cstdio>

#include "effect/signal/FactoryPresetTable.h"
#include "tools/common/Presets.h"

namespace tavola::render {

Status PluginHost::load(const std::string& path, const Console& console,
                        std::unique_ptr<PluginHost>& host) {
  host.reset();
  auto quiet = console.pluginCalls();
  auto library = std::make_unique<PluginLibrary>(path);
  if (!library->entry())
    return Status::runtime("cannot load the plug-in " + path + ": " + library->error());
  host.reset(new PluginHost(std::move(library), console));
  return Status();
}

Status PluginHost::createInstance(std::unique_ptr<HostedEffect>& effect) const {
  std::string error;
  {
    auto quiet = console_.pluginCalls();
    effect = HostedEffect::create(*library_, &error);
  }
  if (!effect)
    return Status::runtime("the plug-in " + path() + " gave no effect instance: " + error);
  return Status();
}

Status probeSteps(const PluginHost& host, const Console& console,
                  std::vector<ParameterInfo>& parameters) {
  auto quiet = console.probeCalls();
  std::unique_ptr<HostedEffect> scratch;
  if (Status status = host.createInstance(scratch); !status.ok()) return status;
  parameters = probeParameters(*scratch);
  return Status();
}

Status resolveSettings(const PluginHost& host, const Console& console,
                       const std::vector<ParameterRequest>& requests,
                       std::vector<ParameterSetting>& settings) {
  settings.clear();
  if (requests.empty()) return Status();
  auto quiet = console.probeCalls();
  std::unique_ptr<HostedEffect> scratch;
  if (Status status = host.createInstance(scratch); !status.ok()) return status;
  for (const ParameterRequest& request : requests) {
    ParameterSetting setting;
    if (Status status = resolveSetting(*scratch, request.name, request.value, setting);
        !status.ok())
      return status;
    std::erase_if(settings,
                  [&](const ParameterSetting& earlier) { return earlier.index == setting.index; });
    settings.push_back(setting);
  }
  return Status();
}

Status prepareEffect(HostedEffect& effect, const Console& console, const EffectSetup& setup) {
  if (!setup.presetValues && (setup.preset < 0 || setup.preset >= presetCount()))
    return Status::runtime("no factory preset " + std::to_string(setup.preset));
  const float* values =
      setup.presetValues ? setup.presetValues->params : factoryPresetValues(setup.preset).values;
  const std::string presetLabel = setup.presetValues
                                      ? "\"" + std::string(setup.presetValues->name) + "\""
                                      : presetName(setup.preset);
  const int parameterCount = std::min(effect.numParams(), kNumParameters);
  {
    auto quiet = console.pluginCalls();
    effect.setSampleRate(static_cast<float>(setup.sampleRate));
    effect.setBlockSize(setup.blockSize);
    const bool mono = setup.channels == 1;
    effect.setSpeakerArrangement(setup.channels, setup.channels);
    for (int pin = 1; pin < HostedEffect::kMaxPins; ++pin) {
      effect.setPinConnected(false, pin, !mono && pin < 2);
      effect.setPinConnected(true, pin, !mono && pin < 2);
    }
    for (int index = 0; index < parameterCount; ++index) effect.setParameter(index, values[index]);
    for (const ParameterSetting& setting : setup.settings)
      effect.setParameter(setting.index, setting.normalised);
    // A suspend takes the output level as it now stands without a ramp, and the resume
    // that follows designs every band at once: the render starts at the settings, not on
    // the way to them.
    effect.suspend();
    effect.resume();
  }

  std::vector<bool> overridden(static_cast<std::size_t>(parameterCount), false);
  for (const ParameterSetting& setting : setup.settings) {
    if (setting.index >= 0 && setting.index < parameterCount)
      overridden[static_cast<std::size_t>(setting.index)] = true;
  }
  auto quiet = console.pluginCalls();
  for (int index = 0; index < parameterCount; ++index) {
    if (overridden[static_cast<std::size_t>(index)]) continue;
    if (effect.getParameter(index) != values[index]) {
      char difference[96];
      std::snprintf(difference, sizeof difference, "parameter %d reads %g instead of %g", index,
                    static_cast<double>(effect.getParameter(index)),
                    static_cast<double>(values[index]));
      return Status::runtime("the plug-in did not take the preset " + presetLabel + ": " +
                             difference);
    }
  }
  for (const ParameterSetting& setting : setup.settings) {
    std::string shown = effect.parameterDisplay(setting.index);
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    if (shown != setting.text)
      return Status::runtime("the plug-in shows " + setting.name + " as \"" + shown +
                             "\" instead of \"" + setting.text + "\"");
  }
  return Status();
}

}  // namespace tavola::render
