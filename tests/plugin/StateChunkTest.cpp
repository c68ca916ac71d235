// The state chunk as a DAW uses it, through the loaded plug-in: a project saved from one
// instance restores every preset, name and setting in another; a chunk from a machine of
// the other byte order, or of the older layout, loads too; anything else is refused with
// the instance left exactly as it was.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/LoadedPlugin.h"
#include "support/ImageBytes.h"

namespace tavola::plugintest {
namespace {

using test::Bytes;

// The current-preset field of the bank header behind the chunk's 8-byte head.
constexpr std::size_t kCurrentPresetField = 8 + 17;

Bytes withCurrentPreset(Bytes chunk, std::int32_t preset) {
  std::memcpy(chunk.data() + kCurrentPresetField, &preset, 4);
  return chunk;
}

// A host cannot pick one of the seven presets directly (the effect shows it one
// program); handing the instance its own state with another current preset does it.
void switchPreset(HostedEffect& effect, std::int32_t preset) {
  ASSERT_EQ(effect.setChunk(withCurrentPreset(effect.getChunk(), preset)), 0);
}

// What a host sees of the current preset.
struct PresetView {
  std::string name;
  std::vector<float> values;
  std::vector<std::string> displays;
  bool operator==(const PresetView&) const = default;
};

PresetView currentView(const HostedEffect& effect) {
  PresetView view{effect.programName(), {}, {}};
  for (int i = 0; i < 44; ++i) {
    view.values.push_back(effect.getParameter(i));
    view.displays.push_back(effect.parameterDisplay(i));
  }
  return view;
}

// Every preset as a host can see it, then the instance back in its own state.
std::vector<PresetView> everyPreset(HostedEffect& effect) {
  const Bytes state = effect.getChunk();
  std::vector<PresetView> views;
  for (int p = 0; p < 7; ++p) {
    EXPECT_EQ(effect.setChunk(withCurrentPreset(state, p)), 0);
    views.push_back(currentView(effect));
  }
  EXPECT_EQ(effect.setChunk(state), 0);
  return views;
}

std::vector<std::string> presetNames(const HostedEffect& effect) {
  std::vector<std::string> names;
  for (int p = 0; p < 7; ++p) names.push_back(effect.programNameIndexed(p).value_or("(none)"));
  return names;
}

// A source instance with three presets edited and renamed, left on preset 5.
std::unique_ptr<HostedEffect> editedSource() {
  std::unique_ptr<HostedEffect> source = makeEffect();
  if (!source) return source;
  testing::internal::CaptureStderr();
  switchPreset(*source, 3);
  source->setParameter(13, 0.75f);
  source->setParameter(6, 0.25f);
  source->setProgramName("Three edited");
  switchPreset(*source, 5);
  source->setParameter(24, 0.0f);
  source->setParameter(27, 1.0f / 3.0f);
  source->setProgramName("Five edited");
  switchPreset(*source, 0);
  source->setParameter(7, 1.0f);
  source->setProgramName("Zero");
  switchPreset(*source, 5);
  testing::internal::GetCapturedStderr();
  return source;
}

}  // namespace

TEST(StateChunk, EditedPresetsAndNamesTravelWhole) {
  std::unique_ptr<HostedEffect> source = editedSource();
  std::unique_ptr<HostedEffect> target = makeEffect();
  ASSERT_TRUE(source && target);
  const Bytes chunk = source->getChunk();
  ASSERT_EQ(chunk.size(), 4361u);

  testing::internal::CaptureStderr();
  ASSERT_EQ(target->setChunk(chunk), 0);
  EXPECT_EQ(target->getChunk(), chunk);
  EXPECT_EQ(presetNames(*target), presetNames(*source));
  EXPECT_EQ(presetNames(*target),
            (std::vector<std::string>{"Zero", "Air", "Loudness", "Three edited", "Zoom 2",
                                      "Five edited", "Bright Vox"}));
  EXPECT_EQ(target->programName(), "Five edited");
  EXPECT_TRUE(currentView(*target) == currentView(*source));
  EXPECT_EQ(target->parameterDisplay(24), "Off  ");

  const std::vector<PresetView> sourcePresets = everyPreset(*source);
  const std::vector<PresetView> targetPresets = everyPreset(*target);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(targetPresets.size(), 7u);
  for (int p = 0; p < 7; ++p) EXPECT_TRUE(targetPresets[p] == sourcePresets[p]) << "preset " << p;
  EXPECT_EQ(targetPresets[3].values[13], 0.75f);
  EXPECT_EQ(targetPresets[3].displays[6], "-8.00dB");
  EXPECT_EQ(targetPresets[0].displays[7], "Sat");
  EXPECT_EQ(targetPresets[0].name, "Zero");
  // Back on preset 5 after the tour.
  EXPECT_EQ(target->programName(), "Five edited");
}

TEST(StateChunk, ForeignByteOrderLoadsTheSame) {
  std::unique_ptr<HostedEffect> source = editedSource();
  std::unique_ptr<HostedEffect> native = makeEffect();
  std::unique_ptr<HostedEffect> foreign = makeEffect();
  ASSERT_TRUE(source && native && foreign);
  const Bytes chunk = source->getChunk();
  const Bytes reversed = test::reversedChunk(chunk);
  ASSERT_NE(reversed, chunk);
  // The format word reads 0x02000000 in the writer's order, whichever that is.
  EXPECT_EQ(test::nativeField(reversed, 0), 0x00000002);

  testing::internal::CaptureStderr();
  ASSERT_EQ(native->setChunk(chunk), 0);
  ASSERT_EQ(foreign->setChunk(reversed), 0);
  // The foreign instance writes its state in its own (native) order.
  EXPECT_EQ(foreign->getChunk(), chunk);
  EXPECT_EQ(presetNames(*foreign), presetNames(*native));
  const std::vector<PresetView> nativePresets = everyPreset(*native);
  const std::vector<PresetView> foreignPresets = everyPreset(*foreign);
  testing::internal::GetCapturedStderr();
  for (int p = 0; p < 7; ++p) EXPECT_TRUE(foreignPresets[p] == nativePresets[p]) << "preset " << p;
}

TEST(StateChunk, RefusedChunksLeaveTheInstanceAsItWas) {
  std::unique_ptr<HostedEffect> source = editedSource();
  ASSERT_TRUE(source);
  const Bytes chunk = source->getChunk();
  const PresetView view = currentView(*source);
  source->log().clear();

  std::vector<std::pair<std::string, Bytes>> refused;
  for (std::size_t length = 0; length < chunk.size(); ++length)
    refused.emplace_back("cut to " + std::to_string(length),
                         Bytes(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(length)));
  Bytes badValue = test::reversedChunk(chunk);
  const float tooBig = 1.5f;
  std::int32_t bits;
  std::memcpy(&bits, &tooBig, 4);
  bits = static_cast<std::int32_t>(__builtin_bswap32(static_cast<std::uint32_t>(bits)));
  std::memcpy(badValue.data() + 8 + 41 + 6 * 616 + 168 + 13 * 32 + 24, &bits, 4);
  refused.emplace_back("foreign chunk with 1.5 in the last record", badValue);
  Bytes unknownFormat = chunk;
  const std::int32_t format3 = 0x03000000;
  std::memcpy(unknownFormat.data(), &format3, 4);
  refused.emplace_back("format word 0x03000000", unknownFormat);

  for (const auto& [what, bytes] : refused) {
    EXPECT_EQ(source->setChunk(bytes), -1) << what;
    EXPECT_EQ(source->getChunk(), chunk) << what;
    if (HasFailure()) break;
  }
  EXPECT_TRUE(currentView(*source) == view);
  // Nothing was applied: applying a preset would have told the host.
  EXPECT_EQ(source->log().updateDisplayCount(), 0);
  EXPECT_TRUE(source->log().beginEdits().empty());
  EXPECT_TRUE(source->log().automations().empty());
}

TEST(StateChunk, OlderLayoutIsStillRead) {
  std::unique_ptr<HostedEffect> target = makeEffect();
  ASSERT_TRUE(target);
  // Seven presets of 44 values, preset 2 current; values are 0.25 everywhere.
  test::ImageBytes chunk;
  chunk.i32(0x01000000).i32(test::kTavolaId).i32(7).i32(2).zeros(16);
  for (int p = 0; p < 7; ++p) {
    chunk.name("Old " + std::to_string(p));
    for (int i = 0; i < 44; ++i) chunk.f32(0.25f);
  }
  ASSERT_EQ(chunk.bytes.size(), 1432u);
  testing::internal::CaptureStderr();
  ASSERT_EQ(target->setChunk(chunk.bytes), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(target->programName(), "Old 2");
  EXPECT_EQ(target->programNameIndexed(6).value_or(""), "Old 6");
  for (const ControlText& control : kDefaultControls)
    EXPECT_EQ(target->getParameter(control.index), 0.25f) << control.index;
  // Written back in the current layout.
  EXPECT_EQ(target->getChunk().size(), 4361u);
}

}  // namespace tavola::plugintest
