// Choosing a factory preset by number or name, and the names the demo files get.

#include <gtest/gtest.h>

#include <string>

#include "render/RenderTestSupport.h"
#include "tools/common/Presets.h"

namespace tavola::render {
namespace {

int found(const char* text) {
  int index = -1;
  const Status status = findPreset(text, index);
  EXPECT_TRUE(status.ok()) << text << ": " << status.message();
  return index;
}

TEST(Presets, ByNumberOrByNameInAnySpelling) {
  EXPECT_EQ(found("0"), 0);
  EXPECT_EQ(found("2"), 2);
  EXPECT_EQ(found("6"), 6);
  EXPECT_EQ(found("Loudness"), 2);
  EXPECT_EQ(found("loudness"), 2);
  EXPECT_EQ(found("LOUDNESS"), 2);
  EXPECT_EQ(found("Bright Vox"), 6);
  EXPECT_EQ(found("bright-vox"), 6);
  EXPECT_EQ(found("Bright_Vox"), 6);
  EXPECT_EQ(found("zoom1"), 3);
  EXPECT_EQ(found("Zoom 2"), 4);
}

TEST(Presets, UnknownOnesListTheChoices) {
  const std::string choices =
      "; the factory presets are 0 Default, 1 Air, 2 Loudness, 3 Zoom 1, 4 Zoom 2, 5 Speaker, "
      "6 Bright Vox";
  for (const char* text : {"7", "-1", "Loud", "", "2.0", " 2"}) {
    int index = -1;
    const Status status = findPreset(text, index);
    EXPECT_EQ(status.kind(), Status::Kind::kUsage) << text;
    EXPECT_EQ(status.message(), "unknown preset \"" + std::string(text) + "\"" + choices);
    EXPECT_EQ(index, -1);
  }
}

TEST(Presets, NamesAgreeWithThePlugin) {
  std::unique_ptr<HostedEffect> effect;
  ASSERT_TRUE(test::host().createInstance(effect).ok());
  for (int i = 0; i < presetCount(); ++i)
    EXPECT_EQ(effect->programNameIndexed(i).value_or("(none)"), presetName(i));
  EXPECT_FALSE(effect->programNameIndexed(presetCount()).has_value());
}

TEST(Presets, FileStemsSortInPresetOrder) {
  EXPECT_EQ(presetFileStem(0), "01-Default");
  EXPECT_EQ(presetFileStem(3), "04-Zoom-1");
  EXPECT_EQ(presetFileStem(6), "07-Bright-Vox");
}

}  // namespace
}  // namespace tavola::render
