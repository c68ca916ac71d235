#include "tools/tavola-render/ParameterSteps.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "vsthost/HostedEffect.h"

namespace tavola::render {
namespace {

// The sweep looks at the middle of 768 equal cells and at both ends. Every step boundary
// of the plug-in lies on a multiple of 1/768 (halves of 1/48 and 1/128 for the gains and
// the output level, twelfths for the frequencies, 1/2 for the switches), so no sample sits
// on a boundary where single-precision rounding would decide, and the middle of a step's
// cells is the middle of its range.
constexpr int kSweepCells = 768;

std::string trimmed(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  std::size_t begin = 0;
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  return std::string(text.substr(begin, end - begin));
}

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

struct Run {
  std::string text;
  bool atZero = false;
  bool atOne = false;
  int firstCell = -1;
  int lastCell = -1;
};

float representative(const Run& run) {
  if (run.atZero) return 0.0f;
  if (run.atOne) return 1.0f;
  return static_cast<float>(run.firstCell + run.lastCell + 1) / (2.0f * kSweepCells);
}

}  // namespace

int ParameterInfo::stepWithText(std::string_view text) const {
  const std::string key = lower(trimmed(text));
  for (std::size_t i = 0; i < steps.size(); ++i)
    if (lower(steps[i].text) == key) return static_cast<int>(i);
  return -1;
}

bool parseDisplayValue(std::string_view text, double& value, Unit& unit) {
  const std::string whole = trimmed(text);
  std::size_t start = 0;
  bool negative = false;
  if (!whole.empty() && (whole[0] == '+' || whole[0] == '-')) {
    negative = whole[0] == '-';
    start = 1;
  }
  // Plain decimal numbers only: from_chars would also take "inf" and "nan".
  if (start >= whole.size() ||
      !(std::isdigit(static_cast<unsigned char>(whole[start])) || whole[start] == '.'))
    return false;
  double number = 0.0;
  const char* end = whole.data() + whole.size();
  const auto [stop, error] =
      std::from_chars(whole.data() + start, end, number, std::chars_format::fixed);
  if (error != std::errc() || !std::isfinite(number)) return false;
  const std::string suffix =
      lower(trimmed(std::string_view(stop, static_cast<std::size_t>(end - stop))));
  if (negative) number = -number;
  if (suffix == "db") {
    unit = Unit::kDecibel;
    value = number;
  } else if (suffix == "hz") {
    unit = Unit::kHertz;
    value = number;
  } else if (suffix == "khz" || suffix == "k") {
    unit = Unit::kHertz;
    value = number * 1000.0;
  } else if (suffix.empty()) {
    unit = Unit::kNone;
    value = number;
  } else {
    return false;
  }
  return true;
}

std::vector<ParameterInfo> probeParameters(int count, const std::function<std::string(int)>& nameOf,
                                           const DisplayProbe& displayOf) {
  std::vector<ParameterInfo> parameters;
  for (int index = 0; index < count; ++index) {
    ParameterInfo info;
    info.index = index;
    info.name = nameOf(index);
    if (info.name.empty()) continue;

    std::vector<Run> runs;
    auto visit = [&](float normalised, int cell) {
      const std::string text = trimmed(displayOf(index, normalised));
      if (runs.empty() || runs.back().text != text) runs.push_back(Run{text});
      Run& run = runs.back();
      if (cell < 0) {
        (normalised == 0.0f ? run.atZero : run.atOne) = true;
      } else {
        if (run.firstCell < 0) run.firstCell = cell;
        run.lastCell = cell;
      }
    };
    visit(0.0f, -1);
    for (int cell = 0; cell < kSweepCells; ++cell)
      visit((static_cast<float>(cell) + 0.5f) / kSweepCells, cell);
    visit(1.0f, -1);

    // A display that comes back to an earlier text would make two steps of one; keep the
    // first, which is the one the plug-in's range starts with.
    for (const Run& run : runs) {
      if (info.stepWithText(run.text) >= 0) continue;
      info.steps.push_back(ParameterStep{representative(run), run.text, 0.0});
    }

    // A unit only when every step shows a number in the same unit.
    Unit common = Unit::kNone;
    bool numeric = true;
    for (std::size_t i = 0; i < info.steps.size() && numeric; ++i) {
      Unit unit = Unit::kNone;
      double value = 0.0;
      numeric = parseDisplayValue(info.steps[i].text, value, unit) && unit != Unit::kNone &&
                (i == 0 || unit == common);
      common = unit;
      info.steps[i].value = value;
    }
    info.unit = numeric && info.steps.size() > 1 ? common : Unit::kNone;
    if (info.unit == Unit::kNone)
      for (ParameterStep& step : info.steps) step.value = 0.0;
    parameters.push_back(std::move(info));
  }
  return parameters;
}

DisplayProbe displayProbe(HostedEffect& effect) {
  return [&effect](int index, float normalised) {
    effect.setParameter(index, normalised);
    return effect.parameterDisplay(index);
  };
}

std::vector<ParameterInfo> probeParameters(HostedEffect& effect) {
  return probeParameters(
      effect.numParams(), [&effect](int index) { return effect.parameterName(index); },
      displayProbe(effect));
}

std::string nameKey(std::string_view name) {
  std::string key;
  for (char c : name)
    if (!std::isspace(static_cast<unsigned char>(c)) && c != '-' && c != '_')
      key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

const ParameterInfo* findParameter(const std::vector<ParameterInfo>& parameters,
                                   std::string_view name) {
  const std::string key = nameKey(name);
  if (key.empty()) return nullptr;
  for (const ParameterInfo& info : parameters)
    if (nameKey(info.name) == key) return &info;
  return nullptr;
}

std::string parameterNames(const std::vector<ParameterInfo>& parameters) {
  std::string names;
  for (const ParameterInfo& info : parameters) {
    if (!names.empty()) names += ", ";
    names += info.name;
  }
  return names;
}

}  // namespace tavola::render
