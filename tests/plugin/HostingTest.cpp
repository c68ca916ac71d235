// The effect as a DAW runs it: creation against hosts of different ages, speaker
// arrangements, processing blocks of awkward sizes in both precisions, the callbacks it
// sends, its state chunk, and several instances side by side.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <numbers>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "plugin/LoadedPlugin.h"

namespace tavola::plugintest {
namespace {

constexpr int kGuard = 16;

// A channel buffer with guard samples on both sides, to catch writes outside the block.
template <typename Sample>
class GuardedChannel {
 public:
  static constexpr Sample kSentinel = static_cast<Sample>(-12345.0);

  explicit GuardedChannel(int frames) : samples_(static_cast<std::size_t>(frames + 2 * kGuard)) {
    std::fill(samples_.begin(), samples_.end(), kSentinel);
  }
  Sample* data() { return samples_.data() + kGuard; }
  int frames() const { return static_cast<int>(samples_.size()) - 2 * kGuard; }

  void fillSine(double frequency, double rate, double amplitude) {
    for (int i = 0; i < frames(); ++i)
      data()[i] =
          static_cast<Sample>(amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / rate));
  }
  bool guardsIntact() const {
    for (int i = 0; i < kGuard; ++i)
      if (samples_[static_cast<std::size_t>(i)] != kSentinel ||
          samples_[samples_.size() - 1 - static_cast<std::size_t>(i)] != kSentinel)
        return false;
    return true;
  }
  bool allFinite() const {
    for (int i = 0; i < frames(); ++i)
      if (!std::isfinite(samples_[static_cast<std::size_t>(kGuard + i)])) return false;
    return true;
  }
  bool untouched() const {
    return std::all_of(samples_.begin(), samples_.end(), [](Sample s) { return s == kSentinel; });
  }
  const std::vector<Sample>& all() const { return samples_; }

 private:
  std::vector<Sample> samples_;
};

template <typename Sample>
bool process(HostedEffect& effect, Sample* const* inputs, Sample* const* outputs, int frames) {
  if constexpr (std::is_same_v<Sample, float>)
    return effect.processReplacing(inputs, outputs, frames);
  else
    return effect.processDoubleReplacing(inputs, outputs, frames);
}

// Runs blocks of awkward sizes and checks that each writes finite samples inside the
// block, nothing outside it, and leaves the inputs alone.
template <typename Sample>
void checkBlocks(HostedEffect& effect, float rate) {
  for (int frames : {0, 1, 17, 4096, 1, 17}) {
    SCOPED_TRACE(testing::Message() << frames << " frames at " << rate << " Hz, "
                                    << (sizeof(Sample) == 4 ? "float" : "double"));
    GuardedChannel<Sample> left(frames), right(frames), outLeft(frames), outRight(frames);
    left.fillSine(1000.0, rate, 0.5);
    right.fillSine(3000.0, rate, 0.25);
    const std::vector<Sample> leftBefore = left.all(), rightBefore = right.all();
    Sample* inputs[] = {left.data(), right.data()};
    Sample* outputs[] = {outLeft.data(), outRight.data()};
    ASSERT_TRUE(process(effect, inputs, outputs, frames));
    EXPECT_TRUE(outLeft.guardsIntact() && outRight.guardsIntact()) << "wrote outside the block";
    EXPECT_TRUE(outLeft.allFinite() && outRight.allFinite());
    EXPECT_EQ(left.all(), leftBefore) << "input written";
    EXPECT_EQ(right.all(), rightBefore) << "input written";
    if (frames == 0) {
      EXPECT_TRUE(outLeft.untouched() && outRight.untouched());
    }
  }
}

TEST(PluginHosting, HostWithoutVersionGetsNoEffect) {
  HostOptions oldHost;
  oldHost.answerVersion = false;
  std::string error;
  EXPECT_EQ(HostedEffect::create(pluginLibrary(), &error, oldHost), nullptr);
  EXPECT_NE(error.find("null"), std::string::npos) << error;

  // The refusal leaves the library fit for the next host.
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->numParams(), 44);
}

TEST(PluginHosting, InstantiationAsksOnlyTheVersion) {
  // A host's scanner makes the effect, opens it, reads it and closes it; none of that is
  // an edit or a reason to redraw, so the effect tells the host nothing.
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  const HostCallLog& log = effect->log();
  EXPECT_EQ(log.requestsDuringConstruction(), std::vector<VstInt32>{audioMasterVersion});
  EXPECT_EQ(log.updateDisplayCount(), 0);
  EXPECT_TRUE(log.beginEdits().empty());
  EXPECT_TRUE(log.endEdits().empty());
  EXPECT_TRUE(log.automations().empty());

  // Once made, a restored state is announced as one edit of parameter 0 and a redraw.
  effect->setChunk(effect->getChunk());
  EXPECT_EQ(log.updateDisplayCount(), 1);
  EXPECT_EQ(log.beginEdits(), std::vector<VstInt32>{0});
  EXPECT_EQ(log.endEdits(), std::vector<VstInt32>{0});
}

TEST(PluginHosting, SpeakerArrangements) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  struct Case {
    VstInt32 in, out;
    bool accepted;
  };
  for (const Case& c :
       {Case{1, 1, true}, Case{1, 2, true}, Case{2, 2, true}, Case{2, 1, false}, Case{0, 0, false},
        Case{0, 2, false}, Case{2, 0, false}, Case{6, 6, false}, Case{2, 3, false}})
    EXPECT_EQ(effect->setSpeakerArrangement(c.in, c.out), c.accepted)
        << c.in << " in, " << c.out << " out";

  // Each accepted layout processes safely; a host offering mono still hands over two
  // valid channel pointers here, so a loop that reads or writes too many is caught by the
  // guards rather than by a crash.
  effect->setSampleRate(44100.0f);
  effect->setBlockSize(4096);
  effect->resume();
  for (const Case& c : {Case{1, 1, true}, Case{1, 2, true}, Case{2, 2, true}}) {
    SCOPED_TRACE(testing::Message() << c.in << " in, " << c.out << " out");
    ASSERT_TRUE(effect->setSpeakerArrangement(c.in, c.out));
    checkBlocks<float>(*effect, 44100.0f);
    checkBlocks<double>(*effect, 44100.0f);
  }
  EXPECT_EQ(effect->log().requestsDuringProcessing(), 0);
}

TEST(PluginHosting, PinAnswersAreTakenWhereTheArrangementChanges) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  effect->setSampleRate(44100.0f);
  effect->resume();
  GuardedChannel<float> left(64), right(64), outLeft(64), outRight(64);
  left.fillSine(1000.0, 44100.0, 0.5);
  right.fillSine(1000.0, 44100.0, 0.5);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outLeft.data(), outRight.data()};

  // The host unplugs the second output and says so with a new arrangement: the next block
  // leaves it alone, without the effect asking again while it processes.
  effect->setPinConnected(true, 1, false);
  ASSERT_TRUE(effect->setSpeakerArrangement(2, 2));
  effect->log().clear();
  ASSERT_TRUE(effect->processReplacing(inputs, outputs, 64));
  EXPECT_TRUE(outRight.untouched());
  EXPECT_EQ(effect->log().requestsDuringProcessing(), 0);

  // Plugged in again, it is written after the next resume.
  effect->setPinConnected(true, 1, true);
  effect->suspend();
  effect->resume();
  ASSERT_TRUE(effect->processReplacing(inputs, outputs, 64));
  EXPECT_FALSE(outRight.untouched());
  EXPECT_TRUE(outRight.allFinite() && outRight.guardsIntact());
  EXPECT_EQ(effect->log().requestsDuringProcessing(), 0);
}

TEST(PluginHosting, ALatencyChangeIsAnnouncedToHostsThatAcceptIt) {
  for (bool accepts : {true, false}) {
    SCOPED_TRACE(accepts ? "host accepts IO changes" : "host does not");
    HostOptions options;
    options.acceptIOChanges = accepts;
    std::unique_ptr<HostedEffect> effect = makeEffect(options);
    ASSERT_TRUE(effect);
    effect->setSampleRate(44100.0f);
    effect->resume();
    effect->suspend();
    // The same rate again: the latency stays, nothing to announce.
    effect->log().clear();
    effect->resume();
    EXPECT_EQ(effect->initialDelay(), 47);
    EXPECT_EQ(effect->log().requestCount(audioMasterIOChanged), 0);
    effect->suspend();

    effect->setSampleRate(96000.0f);
    effect->resume();
    EXPECT_EQ(effect->initialDelay(), 65);
    EXPECT_EQ(effect->log().requestCount(audioMasterIOChanged), accepts ? 1 : 0);
  }
}

TEST(PluginHosting, DisconnectedSecondOutputIsNotWritten) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  effect->setPinConnected(true, 1, false);
  effect->setSampleRate(44100.0f);
  effect->resume();
  GuardedChannel<float> left(64), right(64), outLeft(64), outRight(64);
  left.fillSine(1000.0, 44100.0, 0.5);
  right.fillSine(1000.0, 44100.0, 0.5);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outLeft.data(), outRight.data()};
  ASSERT_TRUE(effect->processReplacing(inputs, outputs, 64));
  EXPECT_TRUE(outLeft.allFinite() && outLeft.guardsIntact());
  EXPECT_TRUE(outRight.untouched()) << "the host said the second output is not connected";
}

// What the chunk holds is the state suite's; here, that applying it is announced to the
// host that owns the target, and only there.
TEST(PluginHosting, ApplyingAChunkTellsOnlyTheTargetsHost) {
  std::unique_ptr<HostedEffect> source = makeEffect();
  std::unique_ptr<HostedEffect> target = makeEffect();
  ASSERT_TRUE(source && target);
  const std::vector<unsigned char> chunk = source->getChunk();
  ASSERT_FALSE(chunk.empty());
  source->log().clear();
  target->log().clear();
  testing::internal::CaptureStderr();
  EXPECT_EQ(target->setChunk(chunk), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_GE(target->log().updateDisplayCount(), 1);
  EXPECT_FALSE(target->log().beginEdits().empty());
  EXPECT_EQ(source->log().updateDisplayCount(), 0);
  EXPECT_TRUE(source->log().beginEdits().empty());
}

TEST(PluginHosting, InstancesAreIndependent) {
  std::unique_ptr<HostedEffect> first = makeEffect();
  std::unique_ptr<HostedEffect> second = makeEffect();
  ASSERT_TRUE(first && second);
  ASSERT_NE(first->aeffect(), second->aeffect());

  testing::internal::CaptureStderr();
  first->setParameter(6, 0.25f);
  first->setParameter(24, 0.0f);
  testing::internal::GetCapturedStderr();
  first->setProgramName("First");
  EXPECT_EQ(first->parameterDisplay(6), "-8.00dB");
  EXPECT_EQ(first->parameterDisplay(24), "Off  ");
  EXPECT_EQ(second->getParameter(6), 0.5f);
  EXPECT_EQ(second->parameterDisplay(6), "0.00dB");
  EXPECT_EQ(second->parameterDisplay(24), "On   ");
  EXPECT_EQ(first->programName(), "First");
  EXPECT_EQ(second->programName(), "Default");

  // Rates and latencies are per instance, and callbacks go to the host of the instance
  // that makes them.
  first->log().clear();
  second->log().clear();
  first->setSampleRate(96000.0f);
  first->resume();
  EXPECT_GT(first->log().requestCount(audioMasterPinConnected), 0);
  EXPECT_EQ(second->log().requestCount(audioMasterPinConnected), 0);
  second->setSampleRate(44100.0f);
  second->resume();
  EXPECT_EQ(first->initialDelay(), 65);
  EXPECT_EQ(second->initialDelay(), 47);

  GuardedChannel<float> left(32), right(32), outLeft(32), outRight(32);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outLeft.data(), outRight.data()};
  ASSERT_TRUE(first->processReplacing(inputs, outputs, 32));

  // Closing one leaves the other working.
  first.reset();
  EXPECT_EQ(second->parameterDisplay(6), "0.00dB");
  ASSERT_TRUE(second->processReplacing(inputs, outputs, 32));
  EXPECT_TRUE(outLeft.allFinite() && outRight.allFinite());
}

// The DAW's pattern: the audio thread processes and plays automation while the UI thread
// restores saved states (a project reload, an undo). Run under ThreadSanitizer this
// shows that the three threads share nothing but atomics; here the output must stay
// finite and every restored state must be accepted.
TEST(PluginHosting, ProcessingAutomationAndStateRestoreOnThreeThreads) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  std::vector<std::vector<unsigned char>> states;
  for (float gain : {0.25f, 0.75f}) {
    effect->setParameter(15, gain);
    effect->setProgramName(gain < 0.5f ? "Cut" : "Boost");
    states.push_back(effect->getChunk());
  }
  effect->setSampleRate(44100.0f);
  effect->setBlockSize(128);
  effect->resume();

  std::atomic<bool> finite{true};
  std::atomic<bool> done{false};
  std::thread audio([&] {
    GuardedChannel<float> left(128), right(128), outLeft(128), outRight(128);
    left.fillSine(100.0, 44100.0, 0.5);
    right.fillSine(5000.0, 44100.0, 0.5);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (int block = 0; block < 400 || !done.load(); ++block) {
      effect->processReplacing(inputs, outputs, 128);
      if (!outLeft.allFinite() || !outRight.allFinite()) finite = false;
    }
  });
  std::thread automation([&] {
    for (int step = 0; step < 2000; ++step) {
      const ControlText& control = kDefaultControls[step % std::size(kDefaultControls)];
      effect->setParameter(control.index, static_cast<float>(step % 13) / 12.0f);
      (void)effect->getParameter(control.index);
    }
  });
  int refused = 0;
  for (int round = 0; round < 60; ++round) {
    if (effect->setChunk(states[static_cast<std::size_t>(round % 2)]) != 0) ++refused;
    (void)effect->getChunk();
    (void)effect->parameterDisplay(15);
  }
  automation.join();
  done = true;
  audio.join();
  EXPECT_TRUE(finite.load());
  EXPECT_EQ(refused, 0);
}

}  // namespace
}  // namespace tavola::plugintest
