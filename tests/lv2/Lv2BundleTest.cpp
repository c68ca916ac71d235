// The LV2 bundle driven as an LV2 host drives it, against the VST 2.4 plug-in of the same
// build: the same output bit for bit, the same state bytes in both directions, refusals
// that change nothing, and defined results for what a careless host may do.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "Lv2Host.h"
#include "effect/signal/FactoryPresetTable.h"
#include "effect/signal/Latency.h"
#include "vsthost/HostedEffect.h"
#include "vsthost/PluginLibrary.h"

namespace tavola::lv2test {
namespace {

const PluginLibrary& vstLibrary() {
  static const PluginLibrary library(TAVOLA_PLUGIN_PATH);
  return library;
}

std::unique_ptr<HostedEffect> makeVst(float rate) {
  std::string error;
  auto effect = HostedEffect::create(vstLibrary(), &error);
  EXPECT_TRUE(effect) << error;
  if (effect) effect->setSampleRate(rate);
  return effect;
}

struct Stereo {
  std::vector<float> left, right;
  explicit Stereo(std::size_t n) : left(n), right(n) {}
};

// Noise, a loud sine and silence in turn, so that the saturator and the filters' tails
// both have work.
Stereo testSignal(std::size_t n, unsigned seed) {
  Stereo s(n);
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t part = (i / 3000) % 3;
    s.left[i] = part == 0 ? noise(random) : part == 1 ? 1.2f * std::sin(0.05f * i) : 0.0f;
    s.right[i] = part == 2 ? noise(random) : 0.7f * std::sin(0.31f * i);
  }
  return s;
}

Stereo renderVst(HostedEffect& effect, const Stereo& in) {
  Stereo out(in.left.size());
  const std::size_t n = in.left.size();
  for (std::size_t done = 0; done < n;) {
    const auto frames = static_cast<VstInt32>(std::min<std::size_t>(512, n - done));
    float* inputs[2] = {const_cast<float*>(in.left.data() + done),
                        const_cast<float*>(in.right.data() + done)};
    float* outputs[2] = {out.left.data() + done, out.right.data() + done};
    EXPECT_TRUE(effect.processReplacing(inputs, outputs, frames));
    done += static_cast<std::size_t>(frames);
  }
  return out;
}

// By default blocks of awkward lengths, as hosts with split cycles give them; the output
// of settled settings does not depend on them.
Stereo renderLv2(Lv2Instance& instance, const Stereo& in, unsigned fixedBlock = 0) {
  Stereo out(in.left.size());
  constexpr unsigned kLengths[] = {1, 7, 300, 4096, 64, 0, 1023};
  const std::size_t n = in.left.size();
  for (std::size_t done = 0, k = 0; done < n; ++k) {
    const unsigned length = fixedBlock ? fixedBlock : kLengths[k % std::size(kLengths)];
    const auto frames = static_cast<unsigned>(std::min<std::size_t>(length, n - done));
    instance.run(in.left.data() + done, in.right.data() + done, out.left.data() + done,
                 out.right.data() + done, frames);
    done += frames;
  }
  return out;
}

void setPortsFromValues(Lv2Instance& instance, const float* values) {
  for (const auto& control : lv2::controlPorts())
    instance.control_(lv2::portIndexOf(control)) = static_cast<float>(
        lv2::stepValue(control, lv2::stepOfNormalised(control, values[control.parameter])));
}

bool sameSamples(const Stereo& a, const Stereo& b) {
  return a.left.size() == b.left.size() &&
         std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(float)) == 0 &&
         std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(float)) == 0;
}

}  // namespace

TEST(Lv2Bundle, RunGivesTheVstPluginsOutputBitForBitAtEveryRateAndPreset) {
  ASSERT_TRUE(Lv2Bundle::get().plugin()) << TAVOLA_LV2_BINARY;
  const Stereo in = testSignal(12000, 1);
  for (float rate : {8000.0f, 44100.0f, 96000.0f, 384000.0f}) {
    for (int preset = 0; preset < kNumFactoryPresets; ++preset) {
      SCOPED_TRACE(testing::Message() << "rate " << rate << " preset " << preset);
      const float* values = factoryPresetValues(preset).values;
      auto vst = makeVst(rate);
      ASSERT_TRUE(vst);
      for (int i = 0; i < kNumParameters; ++i) vst->setParameter(i, values[i]);
      vst->resume();
      Lv2Instance lv2(rate);
      ASSERT_TRUE(lv2.made());
      lv2.connectAll();
      setPortsFromValues(lv2, values);
      lv2.activate();
      EXPECT_TRUE(sameSamples(renderVst(*vst, in), renderLv2(lv2, in)));
      EXPECT_EQ(lv2.latency, static_cast<float>(latencySamples(rate)));
      EXPECT_EQ(lv2.latency, static_cast<float>(vst->initialDelay()));
    }
  }
}

// A port moved while audio runs glides exactly as a host's parameter change does. Glides
// advance by the effect's sub-blocks within each call, so both hosts use the same blocks.
TEST(Lv2Bundle, PortChangesWhileRunningMatchParameterChangesOfTheVstPlugin) {
  const Stereo in = testSignal(3000, 2);
  auto vst = makeVst(48000.0f);
  ASSERT_TRUE(vst);
  vst->resume();
  Lv2Instance lv2(48000.0);
  lv2.connectAll();
  lv2.activate();
  // Band gain, frequency, output level and saturation in turn, then a value between two
  // frequency steps (2.2 kHz selects 2.00 kHz, as typing it into a VST host does).
  const struct {
    const char* symbol;
    int parameter;
    float portValue;
    const char* text;
  } changes[] = {{"hf_gain", kHfGain, 6.0f, "6.0dB"},   {"mf_freq", kMfFreq, 4000.0f, "4.00kHz"},
                 {"output", kOutput, -3.5f, "-3.5"},    {"sat", kSat, 1.0f, "Sat"},
                 {"mf_freq", kMfFreq, 2200.0f, "2.2k"}, {"lf", kLf, 0.0f, "Off"}};
  for (const auto& change : changes) {
    SCOPED_TRACE(change.symbol);
    ASSERT_TRUE(vst->setParameterFromText(change.parameter, change.text));
    lv2.control(change.symbol) = change.portValue;
    EXPECT_TRUE(sameSamples(renderVst(*vst, in), renderLv2(lv2, in, 512)));
  }
}

TEST(Lv2Bundle, ABankSavedByEitherBindingRestoresInTheOtherWithTheSameBytes) {
  // Edited in the VST plug-in: values, the current preset's name, another preset current.
  auto vst = makeVst(44100.0f);
  ASSERT_TRUE(vst);
  vst->setParameterFromText(kHfGain, "+4.5dB");
  vst->setParameterFromText(kMfFreq, "630Hz");
  vst->setProgramName("Edited in VST");
  const std::vector<unsigned char> vstChunk = vst->getChunk();
  ASSERT_FALSE(vstChunk.empty());

  Lv2Instance lv2;
  lv2.connectAll();
  ASSERT_EQ(lv2.restoreBank(vstChunk), LV2_STATE_SUCCESS);
  EXPECT_EQ(lv2.savedBank(), vstChunk);

  // Edited through the LV2 ports, then carried back.
  Lv2Instance edited;
  edited.connectAll();
  edited.control("lf_gain") = -7.5f;
  edited.control("sat") = 1.0f;
  edited.activate();
  std::vector<float> silence(64, 0.0f), out(64);
  edited.run(silence.data(), silence.data(), out.data(), out.data(), 64);
  const std::vector<unsigned char> lv2Bank = edited.savedBank();
  auto other = makeVst(44100.0f);
  ASSERT_TRUE(other);
  ASSERT_EQ(other->setChunk(lv2Bank), 0);
  EXPECT_EQ(other->getChunk(), lv2Bank);
  EXPECT_EQ(other->parameterDisplay(kLfGain), "-7.5dB");
  EXPECT_EQ(other->parameterDisplay(kSat), "Sat");
}

TEST(Lv2Bundle, TheStateIsOneFlaggedChunkProperty) {
  Lv2Instance lv2;
  PropertyStore store;
  ASSERT_EQ(lv2.save(store), LV2_STATE_SUCCESS);
  ASSERT_EQ(store.size(), 1u);
  const StoredProperty& bank = store.begin()->second;
  EXPECT_EQ(store.begin()->first, lv2.bankKey());
  EXPECT_EQ(bank.type, lv2.chunkType());
  EXPECT_EQ(bank.flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
}

TEST(Lv2Bundle, RefusedStatesLeaveTheBankByteIdentical) {
  Lv2Instance lv2;
  lv2.connectAll();
  lv2.control("hf_gain") = 3.0f;
  lv2.activate();
  std::vector<float> silence(16, 0.0f), out(16);
  lv2.run(silence.data(), silence.data(), out.data(), out.data(), 16);
  const std::vector<unsigned char> before = lv2.savedBank();
  ASSERT_GT(before.size(), 16u);

  std::vector<std::vector<unsigned char>> refused;
  for (std::size_t length :
       {std::size_t{0}, std::size_t{1}, std::size_t{8}, before.size() / 2, before.size() - 1})
    refused.emplace_back(before.begin(), before.begin() + static_cast<long>(length));
  std::vector<unsigned char> foreign = before;
  for (int i = 4; i < 8; ++i) foreign[static_cast<std::size_t>(i)] ^= 0x5a;
  refused.push_back(foreign);
  for (const auto& bytes : refused) {
    SCOPED_TRACE(testing::Message() << bytes.size() << " bytes");
    EXPECT_NE(lv2.restoreBank(bytes), LV2_STATE_SUCCESS);
    EXPECT_EQ(lv2.savedBank(), before);
  }
  // The right bytes under another type, and no property at all.
  PropertyStore wrongType;
  wrongType[lv2.bankKey()] = {before, lv2.uridMap().map(LV2_ATOM__String), 0};
  EXPECT_EQ(lv2.restore(wrongType), LV2_STATE_ERR_BAD_TYPE);
  PropertyStore empty;
  EXPECT_EQ(lv2.restore(empty), LV2_STATE_ERR_NO_PROPERTY);
  EXPECT_EQ(lv2.savedBank(), before);
}

// A restored state stands until the host moves a port: the host's older port values do not
// overwrite it at the next run.
TEST(Lv2Bundle, ARestoredStateIsNotUndoneByPortsTheHostLeftAlone) {
  auto vst = makeVst(44100.0f);
  ASSERT_TRUE(vst);
  vst->setParameterFromText(kHfGain, "-9.0dB");
  const std::vector<unsigned char> chunk = vst->getChunk();

  Lv2Instance lv2;
  lv2.connectAll();
  lv2.activate();
  std::vector<float> silence(16, 0.0f), out(16);
  lv2.run(silence.data(), silence.data(), out.data(), out.data(), 16);
  ASSERT_EQ(lv2.restoreBank(chunk), LV2_STATE_SUCCESS);
  lv2.run(silence.data(), silence.data(), out.data(), out.data(), 16);
  EXPECT_EQ(lv2.savedBank(), chunk);
  lv2.control("hf_gain") = 2.0f;
  lv2.run(silence.data(), silence.data(), out.data(), out.data(), 16);
  EXPECT_NE(lv2.savedBank(), chunk);
}

TEST(Lv2Bundle, CarelessHostsGetDefinedResults) {
  const LV2_Descriptor* d = Lv2Bundle::get().plugin();
  ASSERT_TRUE(d);
  // No instance at rates that are no rates.
  for (double rate : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()})
    EXPECT_EQ(d->instantiate(d, rate, "/", nullptr), nullptr) << rate;
  EXPECT_EQ(d->extension_data("http://example.org/no-such-extension"), nullptr);

  // Nothing connected at all, unknown ports, zero frames.
  Lv2Instance bare;
  ASSERT_TRUE(bare.made());
  d->connect_port(bare.handle(), 999, nullptr);
  d->activate(bare.handle());
  d->run(bare.handle(), 0);
  d->run(bare.handle(), 256);
  d->deactivate(bare.handle());

  // Outputs connected but no inputs: silence out.
  Lv2Instance halfConnected;
  halfConnected.connectAll();
  halfConnected.activate();
  std::vector<float> outLeft(32, 5.0f), outRight(32, 5.0f);
  halfConnected.run(nullptr, nullptr, outLeft.data(), outRight.data(), 32);
  for (float x : outLeft) EXPECT_EQ(x, 0.0f);

  // NaN in a control keeps the step it had; the output stays finite.
  Lv2Instance nan;
  nan.connectAll();
  nan.control("hf_gain") = 4.5f;
  nan.activate();
  const Stereo in = testSignal(512, 3);
  Stereo out(512);
  nan.run(in.left.data(), in.right.data(), out.left.data(), out.right.data(), 512);
  const std::vector<unsigned char> before = nan.savedBank();
  nan.control("hf_gain") = std::numeric_limits<float>::quiet_NaN();
  nan.control("output") = std::numeric_limits<float>::infinity();
  nan.run(in.left.data(), in.right.data(), out.left.data(), out.right.data(), 512);
  for (float x : out.left) ASSERT_TRUE(std::isfinite(x));
  const std::vector<unsigned char> after = nan.savedBank();
  EXPECT_NE(after, before);  // the output level went to its top step
  auto vst = makeVst(44100.0f);
  ASSERT_TRUE(vst);
  ASSERT_EQ(vst->setChunk(after), 0);
  EXPECT_EQ(vst->parameterDisplay(kHfGain), "4.5dB");
  EXPECT_EQ(vst->parameterDisplay(kOutput), "16.00dB");

  // Without a URID map there is no state, and saying so is all that happens.
  Lv2Instance noMap(44100.0, false);
  ASSERT_TRUE(noMap.made());
  PropertyStore store;
  EXPECT_EQ(noMap.save(store), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_TRUE(store.empty());
}

}  // namespace tavola::lv2test
