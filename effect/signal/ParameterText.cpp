#include "effect/signal/ParameterText.h"

#include <charconv>
#include <cmath>
#include <string>

#include "effect/signal/ParameterMapping.h"

namespace tavola {
namespace {

// Lower case, without blanks.
std::string folded(std::string_view text) {
  std::string key;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return key;
}

// A finite number followed by one of the units; "+" is allowed in front.
std::optional<double> numberWithUnit(
    const std::string& key, std::initializer_list<std::pair<std::string_view, double>> units) {
  std::string_view text = key;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double number = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || !std::isfinite(number)) return std::nullopt;
  const std::string_view unit(end, static_cast<std::size_t>(text.data() + text.size() - end));
  for (const auto& [name, scale] : units)
    if (unit == name) return number * scale;
  return std::nullopt;
}

// The step of `count` (values ascending) nearest to `value` by `distance`, or none when
// the value lies more than half a step beyond either end.
template <typename StepValue, typename Distance>
std::optional<int> nearestStep(int count, double value, StepValue stepValue, Distance distance) {
  const double belowFirst =
      distance(stepValue(0), value) - distance(stepValue(0), stepValue(1)) / 2;
  const double aboveLast = distance(stepValue(count - 1), value) -
                           distance(stepValue(count - 2), stepValue(count - 1)) / 2;
  if ((value < stepValue(0) && belowFirst > 0) || (value > stepValue(count - 1) && aboveLast > 0))
    return std::nullopt;
  int best = 0;
  for (int k = 1; k < count; ++k)
    if (distance(stepValue(k), value) < distance(stepValue(best), value)) best = k;
  return best;
}

double difference(double a, double b) {
  return std::fabs(a - b);
}

double ratio(double a, double b) {
  return std::fabs(std::log(a / b));
}

std::optional<float> switchValue(const std::string& key, std::string_view on,
                                 std::string_view off) {
  if (key == on || key == "on") return 1.0f;
  if (key == off || key == "off") return 0.0f;
  return std::nullopt;
}

std::optional<float> levelStep(double level) {
  // Quarter steps of the -16 ... +16 scale: p = k / 128 rounds back to k.
  const auto k = nearestStep(
      129, level, [](int step) { return step / 4.0 - 16.0; }, difference);
  if (!k) return std::nullopt;
  return static_cast<float>(*k / 128.0);
}

std::optional<float> bandGainStep(double decibels) {
  const auto stepDecibels = [](int k) { return 20.0 * std::log10(std::pow(2.0, (k - 24) / 12.0)); };
  const auto k = nearestStep(49, decibels, stepDecibels, difference);
  if (!k) return std::nullopt;
  return static_cast<float>(*k / 48.0);
}

std::optional<float> frequencyStep(double hertz, const FrequencyTable& table) {
  if (!(hertz > 0.0)) return std::nullopt;
  const auto i = nearestStep(
      kNumFrequencySteps, hertz, [&](int step) { return table[step]; }, ratio);
  if (!i) return std::nullopt;
  // i / 12 in single precision can fall just below the step (7 / 12 selects step 6): take
  // the next float up until the mapping agrees.
  float p = static_cast<float>(*i / 12.0);
  while (frequencyIndex(p) < *i) p = std::nextafter(p, 2.0f);
  return p;
}

const FrequencyTable* frequencyTableOf(int index) {
  switch (index) {
    case kHpfFreq:
      return &kHpfFrequencies;
    case kLfFreq:
      return &kLfFrequencies;
    case kMfFreq:
      return &kMfFrequencies;
    case kHfFreq:
      return &kHfFrequencies;
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<float> normalisedFromText(int index, std::string_view text) {
  const std::string key = folded(text);
  switch (index) {
    case kEqAll:
    case kHpf:
    case kLf:
    case kMf:
    case kHf:
      return switchValue(key, "on", "off");
    case kSat:
      return switchValue(key, "sat", "thru");
    case kOutput:
    case kLfGain:
    case kMfGain:
    case kHfGain: {
      const std::optional<double> decibels = numberWithUnit(key, {{"", 1.0}, {"db", 1.0}});
      return decibels ? normalisedFromNumber(index, *decibels) : std::nullopt;
    }
    case kHpfFreq:
    case kLfFreq:
    case kMfFreq:
    case kHfFreq: {
      const std::optional<double> hertz =
          numberWithUnit(key, {{"", 1.0}, {"hz", 1.0}, {"khz", 1000.0}, {"k", 1000.0}});
      return hertz ? normalisedFromNumber(index, *hertz) : std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

std::optional<float> normalisedFromNumber(int index, double number) {
  if (!std::isfinite(number)) return std::nullopt;
  switch (index) {
    case kOutput:
      return levelStep(number);
    case kLfGain:
    case kMfGain:
    case kHfGain:
      return bandGainStep(number);
    default:
      if (const FrequencyTable* table = frequencyTableOf(index))
        return frequencyStep(number, *table);
      return std::nullopt;
  }
}

}  // namespace tavola
