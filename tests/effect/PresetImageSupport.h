#pragma once
// Support for the preset image tests that construct the effect directly: an effect that
// records what the readers did to it, so that a rejection can be shown to have done
// nothing, and a snapshot of the whole preset memory. The hand-built images are in
// support/ImageBytes.h.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "editor/ADEditor.h"
#include "effect/TestHost.h"
#include "presets/CPresetSystemEditor.h"
#include "support/ImageBytes.h"

// gtest shows a status by its name.
inline void PrintTo(ImageReadStatus status, std::ostream* out) {
  *out << imageReadStatusName(status);
}

namespace tavola::test {

constexpr VstInt32 kOwnId = Tavola::kUniqueId;
static_assert(kOwnId == kTavolaId);
// The parameter indices the current formats store for this effect (all others are
// placeholders).
constexpr int kStoredIndices[] = {0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27};
constexpr int kStoredCount = 14;

// The whole preset memory and the current preset's number.
struct PresetMemory {
  std::array<PresetRecord, kNumPresets> presets;
  long current;

  bool operator==(const PresetMemory& other) const {
    return current == other.current &&
           std::memcmp(presets.data(), other.presets.data(), sizeof presets) == 0;
  }
};

inline PresetMemory snapshot(const CPresetSystemEffect& effect) {
  PresetMemory memory;
  for (int p = 0; p < kNumPresets; ++p)
    memory.presets[static_cast<std::size_t>(p)] = effect.preset(p);
  memory.current = effect.getPresetNo();
  return memory;
}

// The editor the effect makes, with its redraws of the whole panel recorded.
class RecordingEditor : public ADEditor {
 public:
  RecordingEditor(Tavola& effect, std::vector<std::string>& events)
      : ADEditor(effect, effect.panelMeters()), events_(events) {}
  void frameInvalidated() override { events_.push_back("frameInvalidated"); }

 private:
  std::vector<std::string>& events_;
};

// The effect with every preset-system call a reader makes recorded in order, and the
// setParameter calls counted.
class ObservedEffect : public Tavola {
 public:
  ObservedEffect() : Tavola(connectedHost) {
    replaceEditor(std::make_unique<RecordingEditor>(*this, events));
    forget();
  }

  void setParameter(VstInt32 index, float value) override {
    ++setParameterCalls;
    Tavola::setParameter(index, value);
  }
  void setPresetNo(long n) override {
    events.push_back("setPresetNo " + std::to_string(n));
    Tavola::setPresetNo(n);
  }
  void setPresetName(const char* name) override {
    events.push_back(std::string("setPresetName ") + (name ? name : "(null)"));
    Tavola::setPresetName(name);
  }
  void initializePreset(long i) override {
    events.push_back("initializePreset " + std::to_string(i));
    Tavola::initializePreset(i);
  }

  CPresetSystemEditor& editor() { return *panel(); }
  // Switches to preset n without leaving a trace in the record.
  void select(long n) {
    setPresetNo(n);
    forget();
  }
  void forget() {
    events.clear();
    setParameterCalls = 0;
  }

  std::vector<std::string> events;
  int setParameterCalls = 0;
};

// Keeps the effect's diagnostic line per parameter change out of the test output.
// Nests: only the outermost one captures.
class QuietStandardError {
 public:
  QuietStandardError() {
    if (depth()++ == 0) testing::internal::CaptureStderr();
  }
  ~QuietStandardError() {
    if (--depth() == 0) testing::internal::GetCapturedStderr();
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  static int& depth() {
    static int count = 0;
    return count;
  }
};

// A test whose effect records everything; standard error is captured throughout.
class PresetImageTest : public testing::Test {
 protected:
  // Checks that a rejected read left every preset byte for byte as it was, applied
  // nothing and called nothing.
  void expectUntouched(const PresetMemory& before, const char* what) {
    EXPECT_TRUE(snapshot(*effect) == before) << what << ": the preset memory changed";
    EXPECT_EQ(effect->setParameterCalls, 0) << what << ": a value was applied";
    EXPECT_TRUE(effect->events.empty())
        << what << ": the reader called " << (effect->events.empty() ? "" : effect->events[0]);
  }

  QuietStandardError quiet_;
  std::unique_ptr<ObservedEffect> effect = std::make_unique<ObservedEffect>();
};

// The template the readers start a preset from: preset 0 as the effect was made.
inline PresetRecord templatePreset() {
  QuietStandardError quiet;
  return makeEffect()->preset(0);
}

}  // namespace tavola::test
