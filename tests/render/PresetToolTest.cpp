// tavola-preset run as a user runs it: what it prints for presets, banks and chunks in
// either byte order and in both format versions, the plug-in's reasons for refusing a
// file, and its exit codes.

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "render/PresetFileSupport.h"
#include "render/RenderTestSupport.h"

namespace tavola::render {
namespace {

using test::Bytes;
using test::ImageBytes;

const char* nativeOrder() {
  return std::endian::native == std::endian::little ? "little-endian" : "big-endian";
}
const char* foreignOrder() {
  return std::endian::native == std::endian::little ? "big-endian" : "little-endian";
}

class PresetTool : public testing::Test {
 protected:
  test::CommandResult run(const std::vector<std::string>& arguments) {
    return test::runPresetTool(arguments, dir_.path());
  }
  std::string place(const std::string& name, const Bytes& bytes) {
    test::writeFile(dir_.file(name), bytes);
    return name;
  }
  test::TempDir dir_;
};

TEST_F(PresetTool, APresetWithSomeValuesStored) {
  ImageBytes image;
  image.header(34, 4, 0, 168 + 3 * 32)
      .nameRecord(0, "Hand built")
      .parameterRecord(0, 0, 1.0f)
      .parameterRecord(0, 15, 0.75f)
      .parameterRecord(0, 27, 0.25f);
  const auto result = run({place("hand.zeb", image.bytes)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, std::string("File            hand.zeb (305 bytes)\n"
                                    "Kind            preset image (kind 34)\n"
                                    "Byte order      native (") +
                            nativeOrder() +
                            ")\n"
                            "Format          version 0x01080000, 44 parameters, 4 records\n"
                            "Preset          \"Hand built\"\n"
                            "   0  EQ all    1          On\n"
                            "  15  LFgain    0.75       6.0dB\n"
                            "  27  HFgain    0.25       -6.0dB\n"
                            "  not stored: OUTput, SAT, HPF, HPFfreq, LF, LFfreq, MF, MFfreq, "
                            "MFgain, HF, HFfreq (loading takes the template's values)\n");
}

TEST_F(PresetTool, ABankOfTheOtherByteOrder) {
  const auto result = run({place("foreign.zbb", test::bankFileOf(9, true))});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string& out = result.out;
  for (const std::string& line :
       {std::string("Kind            bank image (kind 56)\n"),
        std::string("Byte order      foreign (") + foreignOrder() +
            ": written on a machine of the other byte order)\n",
        std::string("Format          version 0x01080000, 44 parameters, 105 records\n"),
        std::string("Current preset  9 (out of range: preset 0 is selected; loading the file in "
                    "the plug-in starts at preset 0)\n"),
        std::string("Preset 0        \"Bank 0\"\n"), std::string("Preset 6        \"Bank 6\"\n"),
        std::string("Preset 3        \"Bank 3\"\n   0  EQ all    1          On\n")})
    EXPECT_NE(out.find(line), std::string::npos) << line << "in:\n" << out;
  EXPECT_EQ(out.find("not stored"), std::string::npos);
}

TEST_F(PresetTool, TheStateChunkThePluginWrites) {
  const auto written = run({"--write-chunk", "state.chunk", "--preset", "Speaker"});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_EQ(written.out,
            "Wrote state.chunk (4361 bytes): the state chunk with factory preset 5 Speaker\n");
  const std::string bytes = test::fileBytes(dir_.file("state.chunk"));
  ASSERT_EQ(bytes.size(), 4361u);
  place("foreign.chunk", tavola::test::reversedChunk(Bytes(bytes.begin(), bytes.end())));

  const auto native = run({"state.chunk"});
  ASSERT_EQ(native.exitCode, 0) << native.err;
  for (const char* line :
       {"Kind            host state chunk, version 2 (format word 0x02000000 before a bank "
        "image)\n",
        "Current preset  0\n", "Preset 0        \"Speaker\"\n",
        "   9  HPFfreq   0.75       120Hz\n", "Preset 1        \"Air\"\n"})
    EXPECT_NE(native.out.find(line), std::string::npos) << line << "in:\n" << native.out;

  // The same chunk as the other byte order writes it reads the same, bar the order line.
  const auto foreign = run({"foreign.chunk"});
  ASSERT_EQ(foreign.exitCode, 0) << foreign.err;
  EXPECT_NE(foreign.out.find("Byte order      foreign"), std::string::npos);
  auto body = [](const std::string& text) { return text.substr(text.find("Format")); };
  EXPECT_EQ(body(foreign.out), body(native.out));

  const auto again = run({"--write-chunk", "state.chunk"});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(again.err, "tavola-preset: state.chunk exists; use --force to replace it\n");
}

TEST_F(PresetTool, VersionOneLayouts) {
  ImageBytes preset;
  preset.i32(tavola::test::kTavolaId).u8(33).name("Old one");
  for (int i = 0; i < 44; ++i) preset.f32(i == 15 ? 0.75f : i == 26 ? 7.0f : 0.5f);
  ImageBytes chunk;
  chunk.i32(0x01000000).i32(tavola::test::kTavolaId).i32(1).i32(0).zeros(16).name("Old chunk");
  for (int i = 0; i < 44; ++i) chunk.f32(0.25f);
  const auto result = run({place("old.zeb", preset.bytes), place("old.chunk", chunk.bytes)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  for (const char* line :
       {"Kind            version-1 preset (kind 33)\n",
        "Format          version 1: a name and 44 values\n", "Preset          \"Old one\"\n",
        "  15  LFgain    0.75       6.0dB\n", "\nFile            old.chunk (232 bytes)\n",
        "Kind            host state chunk, version 1 (format word 0x01000000)\n",
        "Format          version 1: 1 presets of a name and 44 values each\n",
        "Preset 0        \"Old chunk\"\n"})
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "in:\n" << result.out;
  // Position 26 is a placeholder: its 7.0 is passed over, as the plug-in passes it over.
  EXPECT_EQ(result.out.find("  26  "), std::string::npos);
}

TEST_F(PresetTool, RefusalsGiveThePluginsReason) {
  Bytes cut = test::presetFileOf(1, "Cut");
  cut.resize(300);
  Bytes nan = test::presetFileOf(1, "NaN");
  const std::uint32_t quietNan = 0x7FC00000;
  std::memcpy(nan.data() + 41 + 168 + 32 * 7 + 24, &quietNan, 4);
  std::filesystem::create_directory(dir_.file("folder.zeb"));
  struct Case {
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {place("cut.zeb", cut),
       "tavola-preset: cut.zeb was refused: preset image: payload size 616 claims more than the "
       "259 bytes after the 41-byte header\n"},
      {place("nan.zeb", nan),
       "tavola-preset: nan.zeb was refused: record 8: the value of parameter 15 is not a "
       "number\n"},
      {place("junk.bin", Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}),
       "tavola-preset: junk.bin was refused: neither a preset or bank image (at byte 0, unique "
       "identifier 0x64636261 ('dcba') is neither this effect's 0x4B575456 ('KWTV') nor its "
       "byte-reversed form) nor a chunk (at byte 4, unique identifier 0x68676665 ('hgfe') is "
       "neither this effect's 0x4B575456 ('KWTV') nor its byte-reversed form)\n"},
      {place("empty.zeb", Bytes{}),
       "tavola-preset: empty.zeb was refused: 0 bytes: an image is longer than its 4-byte unique "
       "identifier\n"},
      {"missing.zeb", "tavola-preset: cannot open missing.zeb: No such file or directory\n"},
      {"folder.zeb", "tavola-preset: cannot use folder.zeb: it is a folder\n"},
  };
  for (const Case& c : cases) {
    const auto result = run({c.file});
    EXPECT_EQ(result.exitCode, 1) << c.file;
    EXPECT_EQ(result.err, c.message);
    EXPECT_EQ(result.out, "");
  }
  // Every good file is still printed; the exit status tells that one was refused.
  place("good.zeb", test::presetFileOf(1, "Good"));
  const auto mixed = run({"good.zeb", "cut.zeb"});
  EXPECT_EQ(mixed.exitCode, 1);
  EXPECT_NE(mixed.out.find("Preset          \"Good\"\n"), std::string::npos);
  EXPECT_EQ(std::count(mixed.err.begin(), mixed.err.end(), '\n'), 1) << mixed.err;
}

TEST_F(PresetTool, HelpAndUsageErrors) {
  const auto help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("usage: tavola-preset [--plugin PATH] FILE...\n", 0), 0u);
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{}, "tavola-preset: no file given (see --help)\n"},
      {{"--bogus", "a.zeb"}, "tavola-preset: unknown option --bogus (see --help)\n"},
      {{"--preset", "2", "a.zeb"}, "tavola-preset: --preset chooses the preset of --write-chunk\n"},
      {{"--write-chunk", "c.chunk", "a.zeb"},
       "tavola-preset: --write-chunk writes one file and prints none (extra: a.zeb)\n"},
      {{"--write-chunk"}, "tavola-preset: --write-chunk needs a value\n"},
  };
  for (const Case& c : cases) {
    const auto result = run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << c.message;
    EXPECT_EQ(result.err, c.message);
  }
  const auto unknownPreset = run({"--write-chunk", "c.chunk", "--preset", "Loud"});
  EXPECT_EQ(unknownPreset.exitCode, 2);
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tavola::render
