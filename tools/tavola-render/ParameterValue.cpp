#include "tools/tavola-render/ParameterValue.h"

#include <cctype>
#include <cmath>

namespace tavola::render {
namespace {

std::string lowerTrimmed(std::string_view text) {
  std::string result;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c)))
      result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

// Distance in the unit's natural measure: decibels add, frequencies multiply.
double distance(Unit unit, double a, double b) {
  if (unit == Unit::kHertz) return std::fabs(std::log(a / b));
  return std::fabs(a - b);
}

const char* unitExample(Unit unit) {
  switch (unit) {
    case Unit::kDecibel:
      return "a level in dB such as 3.5dB";
    case Unit::kHertz:
      return "a frequency such as 120Hz or 2k";
    case Unit::kNone:
      break;
  }
  return "";
}

std::string choices(const ParameterInfo& info) {
  if (info.isSwitch())
    return "on, off, " + info.steps[0].text + ", " + info.steps[1].text +
           " or a normalised number in [0, 1]";
  if (info.unit != Unit::kNone)
    return std::string(unitExample(info.unit)) + ", or a normalised number in [0, 1]";
  std::string texts;
  for (const ParameterStep& step : info.steps) texts += step.text + ", ";
  return texts + "or a normalised number in [0, 1]";
}

ParameterSetting settingFor(const ParameterInfo& info, int step) {
  const ParameterStep& chosen = info.steps[static_cast<std::size_t>(step)];
  return ParameterSetting{info.index, info.name, step, chosen.normalised, chosen.text};
}

}  // namespace

int nearestStep(const ParameterInfo& info, double value) {
  if (info.unit == Unit::kNone || info.steps.size() < 2) return -1;
  if (info.unit == Unit::kHertz && !(value > 0.0)) return -1;
  int best = 0;
  for (std::size_t i = 1; i < info.steps.size(); ++i)
    if (distance(info.unit, value, info.steps[i].value) <
        distance(info.unit, value, info.steps[static_cast<std::size_t>(best)].value))
      best = static_cast<int>(i);
  // Beyond the end steps a value still belongs to them up to half the distance to their
  // neighbours, as it would between two steps.
  const std::size_t last = info.steps.size() - 1;
  const bool increasing = info.steps[last].value > info.steps[0].value;
  const ParameterStep& low = increasing ? info.steps[0] : info.steps[last];
  const ParameterStep& lowNext = increasing ? info.steps[1] : info.steps[last - 1];
  const ParameterStep& high = increasing ? info.steps[last] : info.steps[0];
  const ParameterStep& highNext = increasing ? info.steps[last - 1] : info.steps[1];
  if (value < low.value &&
      distance(info.unit, value, low.value) > 0.5 * distance(info.unit, low.value, lowNext.value))
    return -1;
  if (value > high.value && distance(info.unit, value, high.value) >
                                0.5 * distance(info.unit, high.value, highNext.value))
    return -1;
  return best;
}

Status resolveValue(const ParameterInfo& info, std::string_view text, const DisplayProbe& probe,
                    ParameterSetting& setting) {
  const std::string typed(text);
  const std::string given = info.name + "=" + typed;
  if (info.steps.empty()) return Status::usage(info.name + " has no values to choose from");

  const std::string word = lowerTrimmed(text);
  if (info.isSwitch()) {
    if (word == "on" || word == "yes" || word == "true") {
      setting = settingFor(info, 1);
      return Status();
    }
    if (word == "off" || word == "no" || word == "false") {
      setting = settingFor(info, 0);
      return Status();
    }
  }
  if (const int step = info.stepWithText(text); step >= 0) {
    setting = settingFor(info, step);
    return Status();
  }

  double value = 0.0;
  Unit unit = Unit::kNone;
  if (!parseDisplayValue(text, value, unit))
    return Status::usage("cannot read " + given + ": " + info.name + " takes " + choices(info));

  if (unit == Unit::kNone) {
    if (value < 0.0 || value > 1.0) {
      if (info.unit != Unit::kNone)
        return Status::usage(given +
                             " is out of range: a bare number is a normalised value in "
                             "[0, 1]; give a unit for " +
                             unitExample(info.unit));
      return Status::usage(given + " is out of range: normalised values lie in [0, 1]");
    }
    // The plug-in decides which step a normalised value falls in; ask it.
    const int step = info.stepWithText(probe(info.index, static_cast<float>(value)));
    if (step < 0)
      return Status::runtime("the plug-in shows no known step of " + info.name + " for " + typed);
    setting = settingFor(info, step);
    return Status();
  }

  if (unit != info.unit)
    return Status::usage("cannot read " + given + ": " + info.name + " takes " + choices(info));
  const int step = nearestStep(info, value);
  if (step < 0) {
    const std::string& first = info.steps.front().text;
    const std::string& last = info.steps.back().text;
    const bool increasing = info.steps.back().value > info.steps.front().value;
    return Status::usage(given + " is out of range: " + info.name + " goes from " +
                         (increasing ? first : last) + " to " + (increasing ? last : first));
  }
  setting = settingFor(info, step);
  return Status();
}

Status resolveSetting(const std::vector<ParameterInfo>& parameters, std::string_view name,
                      std::string_view value, const DisplayProbe& probe,
                      ParameterSetting& setting) {
  const ParameterInfo* info = findParameter(parameters, name);
  if (!info)
    return Status::usage("unknown parameter \"" + std::string(name) + "\"; the parameters are " +
                         parameterNames(parameters));
  return resolveValue(*info, value, probe, setting);
}

}  // namespace tavola::render
