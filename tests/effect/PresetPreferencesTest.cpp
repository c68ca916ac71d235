// The values the preset system keeps in the user's preferences: memories A and B, the
// default bank and preset applied at construction, and the remembered folder and file
// names; each test with preferences of its own.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "effect/PresetSystemSupport.h"
#include "platform/PreferencesStore.h"

namespace tavola::test {
namespace {

using PresetPreferences = PresetSystemTest;

std::string nameOf(const PresetRecord& preset) {
  return preset.name;
}

TEST_F(PresetPreferences, MemoriesCarryAPresetToAnotherInstance) {
  auto source = makeEffect();
  makeDistinct(*source, 2, "Memo A take", 0.25f);
  editorOf(*source).storeA();
  makeDistinct(*source, 5, "Memo B take", 0.875f);
  editorOf(*source).storeB();
  const PresetRecord a = source->preset(2);
  const PresetRecord b = source->preset(5);

  auto target = makeEffect();
  target->setPresetNo(3);
  editorOf(*target).recallA();
  EXPECT_TRUE(samePreset(target->preset(3), a)) << nameOf(target->preset(3));
  EXPECT_EQ(target->getPresetNo(), 3);
  // Applied, not only stored: the live parameters are the recalled ones.
  EXPECT_EQ(target->getParameter(15), 0.25f);
  EXPECT_EQ(target->getParameter(21), 0.75f);

  editorOf(*target).recallB();
  EXPECT_TRUE(samePreset(target->preset(3), b)) << nameOf(target->preset(3));
  EXPECT_EQ(target->getParameter(15), 0.875f);
  // Only the current preset takes a memory.
  EXPECT_STREQ(target->preset(2).name, "Loudness");
  EXPECT_STREQ(target->preset(5).name, "Speaker");
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetPreferences, RecallWithNothingOrTooLittleStoredDoesNothing) {
  auto effect = makeEffect();
  effect->setPresetNo(4);
  const PresetMemory before = snapshot(*effect);
  editorOf(*effect).recallA();
  editorOf(*effect).recallB();
  EXPECT_TRUE(snapshot(*effect) == before);

  PreferencesStore store(config_.store());
  for (const Bytes& small : {Bytes{}, Bytes{0x4B}, Bytes{'V', 'T', 'W', 'K'}}) {
    ASSERT_TRUE(store.writeBytes("MemoAPreset", small));
    editorOf(*effect).recallA();
    EXPECT_TRUE(snapshot(*effect) == before) << small.size() << " bytes";
  }
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetPreferences, ACorruptMemoryIsRefusedWholeWithItsReason) {
  auto source = makeEffect();
  makeDistinct(*source, 1, "Good memory", 0.5f);
  const Bytes good = presetImageOf(*source);
  ASSERT_EQ(good.size(), 657u);

  Bytes outOfRange = good;
  // The value field of the first parameter record: 41 + 168 + 12 + 12.
  const float bad = 1.5f;
  std::memcpy(outOfRange.data() + 41 + 168 + 24, &bad, 4);
  Bytes otherEffect = good;
  otherEffect[0] ^= 0x20;
  struct Case {
    const char* what;
    Bytes bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"cut short", Bytes(good.begin(), good.begin() + 300), "payload size 616 claims more"},
      {"a value out of range", outOfRange, "is 1.5, outside [0, 1]"},
      {"another effect's", otherEffect, "is neither this effect's"},
      {"a bank", bankImageOf(*source), "a bank image (kind 56) where a preset image"},
  };
  auto effect = makeEffect();
  effect->setPresetNo(6);
  const PresetMemory before = snapshot(*effect);
  takeAlerts();
  PreferencesStore store(config_.store());
  for (const Case& c : cases) {
    ASSERT_TRUE(store.writeBytes("MemoBPreset", c.bytes));
    editorOf(*effect).recallB();
    EXPECT_TRUE(snapshot(*effect) == before) << c.what;
    const std::vector<std::string> alerts = takeAlerts();
    ASSERT_EQ(alerts.size(), 1u) << c.what;
    EXPECT_EQ(alerts[0].rfind("The memory B in the preferences (", 0), 0u) << alerts[0];
    EXPECT_NE(alerts[0].find(c.reason), std::string::npos) << alerts[0];
  }
}

// Two processes store and recall memory A as fast as they can: every recall must give
// one whole preset of one of them, never a mixture or a refused half.
TEST_F(PresetPreferences, ConcurrentProcessesNeverSeeATornMemory) {
  auto reference = makeEffect();
  makeDistinct(*reference, 0, "First process", 0.125f);
  const PresetRecord first = reference->preset(0);
  makeDistinct(*reference, 0, "Second process", 0.875f);
  const PresetRecord second = reference->preset(0);
  editorOf(*reference).storeA();

  auto run = [&](const char* name, float gain) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    std::freopen("/dev/null", "w", stderr);
    auto effect = makeEffect();
    int wrong = 0;
    for (int i = 0; i < 60; ++i) {
      makeDistinct(*effect, 0, name, gain);
      editorOf(*effect).storeA();
      editorOf(*effect).recallA();
      const PresetRecord& got = effect->preset(0);
      if (!samePreset(got, first) && !samePreset(got, second)) ++wrong;
    }
    ::_exit(wrong == 0 ? 0 : 1);
  };
  const pid_t pids[] = {run("First process", 0.125f), run("Second process", 0.875f)};
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "a recall gave something other than one of the two presets";
  }
  auto after = makeEffect();
  editorOf(*after).recallA();
  EXPECT_TRUE(samePreset(after->preset(0), first) || samePreset(after->preset(0), second));
}

TEST_F(PresetPreferences, WithNothingStoredTheFactoryBankStaysAndPresetZeroIsSelected) {
  auto effect = makeEffect();
  const char* names[] = {"Default", "Air", "Loudness", "Zoom 1", "Zoom 2", "Speaker", "Bright Vox"};
  for (int p = 0; p < kNumPresets; ++p) EXPECT_STREQ(effect->preset(p).name, names[p]);
  EXPECT_EQ(effect->getPresetNo(), 0);
  for (int i = 0; i < kNumPresetParameters; ++i)
    EXPECT_EQ(effect->getParameter(i), effect->preset(0).params[i]) << i;
  EXPECT_EQ(editorOf(*effect).currentDir(), "");
  effect.reset();
  // Reading the preferences leaves no trace in them.
  EXPECT_FALSE(std::filesystem::exists(config_.store()));
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetPreferences, TheDefaultBankAndPresetApplyAtTheNextConstructionUntilReset) {
  PresetMemory savedBank;
  PresetRecord savedPreset;
  {
    auto effect = makeEffect();
    makeDistinct(*effect, 3, "Bank three", 0.25f);
    makeDistinct(*effect, 0, "Bank zero", 0.75f);
    effect->setPresetNo(3);
    editorOf(*effect).saveDefaultBank();
    savedBank = snapshot(*effect);
  }
  {
    auto effect = makeEffect();
    PresetMemory expected = savedBank;
    expected.current = 0;
    EXPECT_TRUE(snapshot(*effect) == expected);
    EXPECT_EQ(effect->getParameter(15), 0.75f);  // preset 0 of the bank, applied

    effect->setPresetNo(5);
    effect->setPresetName("Start here");
    editorOf(*effect).saveDefaultPreset();
    savedPreset = effect->preset(5);
  }
  {
    // Bank first, then the default preset into preset 0.
    auto effect = makeEffect();
    EXPECT_TRUE(samePreset(effect->preset(0), savedPreset));
    EXPECT_TRUE(samePreset(effect->preset(3), savedBank.presets[3]));
    EXPECT_EQ(effect->getPresetNo(), 0);
    EXPECT_EQ(effect->getParameter(9), savedPreset.params[9]);
    editorOf(*effect).resetDefaultBank();
    EXPECT_FALSE(std::filesystem::exists(config_.value("DefaultBank")));
  }
  {
    auto effect = makeEffect();
    EXPECT_TRUE(samePreset(effect->preset(0), savedPreset));
    EXPECT_STREQ(effect->preset(3).name, "Zoom 1");
    editorOf(*effect).resetDefaultPreset();
    editorOf(*effect).resetDefaultPreset();  // gone already: still fine
  }
  auto effect = makeEffect();
  EXPECT_STREQ(effect->preset(0).name, "Default");
  EXPECT_TRUE(takeAlerts().empty());
}

// What the effect asked of its host, for the test below.
std::vector<VstInt32> requestsSeen;
VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  requestsSeen.push_back(opcode);
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST_F(PresetPreferences, ApplyingStoredDefaultsAtConstructionTellsTheHostNothing) {
  {
    auto effect = makeEffect();
    makeDistinct(*effect, 0, "Stored zero", 0.75f);
    editorOf(*effect).saveDefaultBank();
    editorOf(*effect).saveDefaultPreset();
  }
  requestsSeen.clear();
  Tavola effect(recordingHost);
  EXPECT_STREQ(effect.preset(0).name, "Stored zero");
  EXPECT_TRUE(requestsSeen.empty())
      << requestsSeen.size() << " requests, the first " << requestsSeen.front();
  // Made, it announces a preset change again.
  effect.setPresetNo(2);
  EXPECT_EQ(requestsSeen, (std::vector<VstInt32>{audioMasterUpdateDisplay, audioMasterBeginEdit,
                                                 audioMasterEndEdit}));
}

TEST_F(PresetPreferences, AStoredBankThatIsRefusedLeavesTheFactoryBankAndSaysWhy) {
  PreferencesStore store(config_.store());
  ImageBytes bank;
  bank.header(56, 1, 0, 168).nameRecord(0, "Broken");
  bank.bytes.erase(bank.bytes.end() - 10, bank.bytes.end());
  ASSERT_TRUE(store.writeBytes("DefaultBank", bank.bytes));
  auto effect = makeEffect();
  EXPECT_STREQ(effect->preset(0).name, "Default");
  const std::vector<std::string> alerts = takeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("default bank"), std::string::npos) << alerts[0];
  EXPECT_NE(alerts[0].find("payload size 168 claims more than the 158 bytes"), std::string::npos)
      << alerts[0];
}

TEST_F(PresetPreferences, ResetDefaultMidiRemovesTheOldValue) {
  PreferencesStore store(config_.store());
  ASSERT_TRUE(store.writeString("DefaultMidi", "stale"));
  auto effect = makeEffect();
  editorOf(*effect).resetDefaultMidi();
  EXPECT_FALSE(std::filesystem::exists(config_.value("DefaultMidi")));
}

struct FileIdentity {
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {info.st_ino};
}

TEST_F(PresetPreferences, FolderAndFileNamesAreRememberedAcrossInstances) {
  DialogScript script;
  const std::string folder = files_.path().string() + "/";
  script.answers = {{folder + "take.zeb"}, {folder + "session.zbb"}};
  {
    auto effect = makeEffect();
    useScript(*effect, script);
    editorOf(*effect).savePreset();
    editorOf(*effect).saveBank();
  }
  auto effect = makeEffect();
  EXPECT_EQ(editorOf(*effect).currentDir(), folder);
  EXPECT_EQ(editorOf(*effect).presetFileName(), "take.zeb");
  EXPECT_EQ(editorOf(*effect).bankFileName(), "session.zbb");

  // The next dialogs start there.
  useScript(*effect, script);
  editorOf(*effect).savePreset();
  editorOf(*effect).loadBank(false);
  ASSERT_EQ(script.requests.size(), 4u);
  EXPECT_EQ(script.requests[2].initialDirectory, folder);
  EXPECT_EQ(script.requests[2].defaultName, "take.zeb");
  EXPECT_EQ(script.requests[3].initialDirectory, folder);
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetPreferences, DestroyingAnInstanceWritesOnlyWhatItChose) {
  DialogScript script;
  const std::string folder = files_.path().string() + "/";
  script.answers = {{folder + "first.zeb"}, {folder + "later.zeb"}};
  {
    auto effect = makeEffect();
    useScript(*effect, script);
    editorOf(*effect).savePreset();
  }
  const FileIdentity dir = identityOf(config_.value("CurrDir"));
  const FileIdentity name = identityOf(config_.value("CurrPreset"));
  ASSERT_NE(dir.inode, 0u);
  // Nothing chosen: construction and destruction rewrite nothing (every write would
  // replace the file, and with it its inode).
  makeEffect().reset();
  EXPECT_EQ(identityOf(config_.value("CurrDir")), dir);
  EXPECT_EQ(identityOf(config_.value("CurrPreset")), name);
  EXPECT_FALSE(std::filesystem::exists(config_.value("CurrBank")));

  // An older instance that chose nothing does not put its names back over those a
  // younger one chose.
  auto older = makeEffect();
  {
    auto younger = makeEffect();
    useScript(*younger, script);
    editorOf(*younger).savePreset();
  }
  older.reset();
  EXPECT_EQ(PreferencesStore(config_.store()).readString("CurrPreset").value(), "later.zeb");

  // A choice is the latest even when it repeats the name this instance recalled.
  auto recalled = makeEffect();
  ASSERT_EQ(editorOf(*recalled).presetFileName(), "later.zeb");
  {
    auto other = makeEffect();
    script.answers = {{folder + "other.zeb"}};
    useScript(*other, script);
    editorOf(*other).savePreset();
  }
  script.answers = {{folder + "later.zeb"}};
  useScript(*recalled, script);
  editorOf(*recalled).savePreset();
  EXPECT_EQ(PreferencesStore(config_.store()).readString("CurrPreset").value(), "later.zeb");
}

TEST_F(PresetPreferences, NamesTooLongForThePreferencesAreNotRemembered) {
  PreferencesStore store(config_.store());
  ASSERT_TRUE(store.writeString("CurrDir", std::string(300, 'd')));
  ASSERT_TRUE(store.writeString("CurrBank", std::string("with\0nul", 8)));
  ASSERT_TRUE(store.writeString("CurrPreset", "kept.zeb"));
  auto effect = makeEffect();
  EXPECT_EQ(editorOf(*effect).currentDir(), "");
  EXPECT_EQ(editorOf(*effect).bankFileName(), "");
  EXPECT_EQ(editorOf(*effect).presetFileName(), "kept.zeb");

  // A chosen folder longer than 256 bytes: the file is saved, the name not remembered.
  std::filesystem::path deep = files_.path();
  while (deep.string().size() <= 260) deep /= std::string(60, 'f');
  std::filesystem::create_directories(deep);
  DialogScript script;
  script.answers = {{(deep / "deep.zeb").string()}};
  useScript(*effect, script);
  editorOf(*effect).savePreset();
  EXPECT_TRUE(std::filesystem::exists(deep / "deep.zeb"));
  EXPECT_EQ(editorOf(*effect).currentDir(), "");
  EXPECT_EQ(editorOf(*effect).presetFileName(), "kept.zeb");
}

}  // namespace
}  // namespace tavola::test
