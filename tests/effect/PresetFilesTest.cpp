// Preset and bank files through the editor object, with the dialog's answers scripted:
// real files written in a temporary folder and read back, hand-built files in either byte
// order, and every way a load or save can fail.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "effect/PresetSystemSupport.h"

namespace tavola::test {
namespace {

using PresetFiles = PresetSystemTest;
using Kind = FileDialogRequest::Kind;

TEST_F(PresetFiles, ASavedPresetLoadsIntoAFreshInstance) {
  const std::string path = (files_ / "take.zeb").string();
  DialogScript script;
  script.answers = {{path}, {path}};
  auto source = makeEffect();
  makeDistinct(*source, 6, "Vocal take", 0.375f);
  useScript(*source, script);
  editorOf(*source).savePreset();
  const Bytes written = fileBytes(path);
  EXPECT_EQ(written, presetImageOf(*source));
  EXPECT_EQ(written.size(), 657u);

  auto target = makeEffect();
  target->setPresetNo(2);
  useScript(*target, script);
  editorOf(*target).loadPreset(false);
  EXPECT_TRUE(samePreset(target->preset(2), source->preset(6)));
  EXPECT_EQ(target->getPresetNo(), 2);
  EXPECT_EQ(target->getParameter(15), 0.375f);
  EXPECT_EQ(presetImageOf(*target), written);
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetFiles, ALoadedBankStartsAtItsFirstPreset) {
  const std::string path = (files_ / "session.zbb").string();
  DialogScript script;
  script.answers = {{path}, {path}};
  auto source = makeEffect();
  for (int p = 0; p < kNumPresets; ++p)
    makeDistinct(*source, p, "Bank " + std::to_string(p), static_cast<float>(p) / 8.0f);
  source->setPresetNo(4);
  useScript(*source, script);
  editorOf(*source).saveBank();
  EXPECT_EQ(fileBytes(path), bankImageOf(*source));
  EXPECT_EQ(fileBytes(path).size(), 4353u);

  ObservedEffect target;
  target.select(5);
  useScript(target, script);
  editorOf(target).loadBank(false);
  for (int p = 0; p < kNumPresets; ++p)
    EXPECT_TRUE(samePreset(target.preset(p), source->preset(p))) << p;
  // The bank's current preset is 4, but a loaded bank starts at 0, and only preset 0 is
  // applied: one setParameter per parameter.
  EXPECT_EQ(target.getPresetNo(), 0);
  EXPECT_EQ(target.getParameter(15), 0.0f);
  const std::vector<std::string> tail(target.events.end() - 2, target.events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"setPresetNo 0", "frameInvalidated"}));
  EXPECT_EQ(std::count(target.events.begin(), target.events.end(), "setPresetNo 0"), 1);
  EXPECT_EQ(target.setParameterCalls, kNumParameters);
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetFiles, FilesOfTheOtherByteOrderLoad) {
  // A preset written on a machine of the other byte order: every 4-byte field reversed,
  // the identifier included, so the plain load sees it.
  ImageBytes foreign(true);
  foreign.header(34, 3, 0, 168 + 64)
      .nameRecord(0, "Big endian")
      .parameterRecord(0, 15, 0.75f)
      .parameterRecord(0, 21, 0.25f);
  const std::string foreignPath = (files_ / "foreign.zeb").string();
  writeBytes(foreignPath, foreign.bytes);

  // The same with a native identifier, as some old writers made them: only the
  // endian-reversed load reads it right.
  Bytes mislabelled = foreign.bytes;
  reverseFieldAt(mislabelled, 0);
  const std::string mislabelledPath = (files_ / "mislabelled.zeb").string();
  writeBytes(mislabelledPath, mislabelled);

  DialogScript script;
  script.answers = {{foreignPath}, {mislabelledPath}, {mislabelledPath}};
  auto effect = makeEffect();
  useScript(*effect, script);
  editorOf(*effect).loadPreset(false);
  EXPECT_STREQ(effect->preset(0).name, "Big endian");
  EXPECT_EQ(effect->getParameter(15), 0.75f);
  EXPECT_EQ(effect->getParameter(21), 0.25f);

  effect->setPresetNo(1);
  const PresetMemory before = snapshot(*effect);
  editorOf(*effect).loadPreset(false);
  EXPECT_TRUE(snapshot(*effect) == before);
  const std::vector<std::string> alerts = takeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("mislabelled.zeb was not loaded: "), std::string::npos) << alerts[0];

  editorOf(*effect).loadPreset(true);
  EXPECT_STREQ(effect->preset(1).name, "Big endian");
  EXPECT_EQ(effect->getParameter(15), 0.75f);
  EXPECT_EQ(script.requests[2].title, "Load preset (endian-reversed)");
  EXPECT_TRUE(takeAlerts().empty());
}

TEST_F(PresetFiles, AnEndianReversedBankLoads) {
  ImageBytes foreign(true);
  foreign.header(56, 2, 3, 2 * 168).nameRecord(0, "Zero").nameRecord(3, "Three");
  Bytes mislabelled = foreign.bytes;
  reverseFieldAt(mislabelled, 0);
  const std::string path = (files_ / "mislabelled.zbb").string();
  writeBytes(path, mislabelled);
  DialogScript script;
  script.answers = {{path}};
  auto effect = makeEffect();
  useScript(*effect, script);
  editorOf(*effect).loadBank(true);
  EXPECT_STREQ(effect->preset(0).name, "Zero");
  EXPECT_STREQ(effect->preset(3).name, "Three");
  EXPECT_EQ(effect->getPresetNo(), 0);
  EXPECT_EQ(script.requests[0].title, "Load bank (endian-reversed)");
}

TEST_F(PresetFiles, RefusedFilesChangeNothingAndSayWhy) {
  auto source = makeEffect();
  const Bytes preset = presetImageOf(*source);
  const Bytes bank = bankImageOf(*source);
  auto place = [&](const std::string& name, const Bytes& bytes) {
    writeBytes(files_ / name, bytes);
    return (files_ / name).string();
  };
  Bytes otherEffect = preset;
  reverseFieldAt(otherEffect, 0);
  otherEffect[1] ^= 0x01;
  const std::string huge = (files_ / "huge.zeb").string();
  writeBytes(huge, preset);
  std::filesystem::resize_file(huge, 2u << 20);
  struct Case {
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {place("truncated.zeb", Bytes(preset.begin(), preset.begin() + 500)),
       "payload size 616 claims more than the 459 bytes"},
      {place("tiny.zeb", Bytes(preset.begin(), preset.begin() + 3)),
       "3 bytes: an image is longer than its 4-byte unique identifier"},
      {place("other.zeb", otherEffect), "is neither this effect's 0x4B575456 ('KWTV')"},
      {place("bank.zeb", bank), "a bank image (kind 56) where a preset image (kind 33 or 34)"},
      {huge, "it is 2097152 bytes long"},
      {files_.path().string(), "is a folder"},
      {(files_ / "missing.zeb").string(), "No such file or directory"},
  };
  auto effect = makeEffect();
  makeDistinct(*effect, 3, "Untouched", 0.625f);
  const PresetMemory before = snapshot(*effect);
  takeAlerts();
  for (const Case& c : cases) {
    DialogScript script;
    script.answers = {{c.path}};
    useScript(*effect, script);
    editorOf(*effect).loadPreset(false);
    EXPECT_TRUE(snapshot(*effect) == before) << c.path;
    const std::vector<std::string> alerts = takeAlerts();
    ASSERT_EQ(alerts.size(), 1u) << c.path;
    EXPECT_NE(alerts[0].find(c.path), std::string::npos) << alerts[0];
    EXPECT_NE(alerts[0].find(c.reason), std::string::npos) << alerts[0];
  }

  // A truncated bank is refused whole: no preset of it is taken, and preset 0 is not
  // selected either.
  DialogScript script;
  script.answers = {{place("truncated.zbb", Bytes(bank.begin(), bank.end() - 1))}};
  useScript(*effect, script);
  editorOf(*effect).loadBank(false);
  EXPECT_TRUE(snapshot(*effect) == before);
  const std::vector<std::string> alerts = takeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("The bank file "), std::string::npos) << alerts[0];
}

TEST_F(PresetFiles, AFailedSaveLeavesTheOldFileWhole) {
  auto effect = makeEffect();
  // The target is a folder: the new file cannot take its place.
  const std::filesystem::path folder = files_ / "folder.zeb";
  std::filesystem::create_directory(folder);
  writeBytes(folder / "inside", Bytes{1, 2, 3});
  DialogScript script;
  script.answers = {{folder.string()}};
  useScript(*effect, script);
  editorOf(*effect).savePreset();
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(fileBytes(folder / "inside"), (Bytes{1, 2, 3}));
  std::vector<std::string> alerts = takeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(
      alerts[0].find("Could not save the preset file " + folder.string() + ": cannot replace"),
      std::string::npos)
      << alerts[0];
  EXPECT_EQ(
      std::vector<std::filesystem::path>(std::filesystem::directory_iterator(files_.path()), {}),
      std::vector<std::filesystem::path>{folder})
      << "a temporary file was left behind";

  // The disk fills up half-way (a file size limit in a child process): the old bank
  // stays as it was.
  const std::filesystem::path bankPath = files_ / "old.zbb";
  const Bytes old(5000, 0xAB);
  writeBytes(bankPath, old);
  // The capture file is small again, so that the child's size limit only hits the bank.
  takeAlerts();
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    DialogScript full;
    full.answers = {{bankPath.string()}};
    useScript(*effect, full);
    editorOf(*effect).saveBank();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(fileBytes(bankPath), old);
  alerts = takeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("File too large"), std::string::npos) << alerts[0];
  EXPECT_NE(alerts[0].find("an earlier file of that name is unchanged"), std::string::npos);
}

TEST_F(PresetFiles, NoFileOrTwoFilesDoNothing) {
  const std::string a = (files_ / "a.zeb").string();
  const std::string b = (files_ / "b.zeb").string();
  auto source = makeEffect();
  writeBytes(a, presetImageOf(*source));
  writeBytes(b, presetImageOf(*source));

  auto effect = makeEffect();
  makeDistinct(*effect, 2, "Untouched", 0.125f);
  const PresetMemory before = snapshot(*effect);
  DialogScript script;
  script.answers = {{}, {a, b}, {}, {a, b}, {}, {a, b}, {}, {a, b}};
  useScript(*effect, script);
  for (int round = 0; round < 2; ++round) {
    editorOf(*effect).loadPreset(false);
    editorOf(*effect).loadBank(false);
    editorOf(*effect).savePreset();
    editorOf(*effect).saveBank();
  }
  EXPECT_EQ(script.requests.size(), 8u);
  EXPECT_TRUE(snapshot(*effect) == before);
  EXPECT_EQ(fileBytes(a), presetImageOf(*source));
  EXPECT_EQ(editorOf(*effect).currentDir(), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files_.path()), {}), 2);
  EXPECT_TRUE(takeAlerts().empty());

  // A dialog that cannot be shown says so, and nothing else happens.
  script.error = "cannot show a file dialog: neither zenity nor kdialog is installed";
  editorOf(*effect).loadPreset(false);
  EXPECT_EQ(takeAlerts(), std::vector<std::string>{script.error});
  EXPECT_TRUE(snapshot(*effect) == before);
}

TEST_F(PresetFiles, EachOperationAsksTheDialogItsOwnQuestion) {
  auto effect = makeEffect();
  DialogScript script;
  useScript(*effect, script);
  CPresetSystemEditor& editor = editorOf(*effect);
  editor.loadPreset(false);
  editor.loadPreset(true);
  editor.savePreset();
  editor.loadBank(false);
  editor.loadBank(true);
  editor.saveBank();
  struct Expected {
    const char* title;
    Kind kind;
    const char* description;
    const char* extension;
  };
  const Expected expected[] = {
      {"Load preset", Kind::kOpen, "ZEB Preset", "zeb"},
      {"Load preset (endian-reversed)", Kind::kOpen, "ZEB Preset", "zeb"},
      {"Save preset", Kind::kSave, "ZEB Preset", "zeb"},
      {"Load bank", Kind::kOpen, "ZEB Bank", "zbb"},
      {"Load bank (endian-reversed)", Kind::kOpen, "ZEB Bank", "zbb"},
      {"Save bank", Kind::kSave, "ZEB Bank", "zbb"},
  };
  ASSERT_EQ(script.requests.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const FileDialogRequest& request = script.requests[i];
    EXPECT_EQ(request.title, expected[i].title);
    EXPECT_EQ(request.kind, expected[i].kind) << request.title;
    EXPECT_EQ(request.filterDescription, expected[i].description) << request.title;
    EXPECT_EQ(request.extension, expected[i].extension) << request.title;
    EXPECT_EQ(request.initialDirectory, "") << request.title;
    EXPECT_EQ(request.defaultName, "") << request.title;
  }
}

TEST_F(PresetFiles, AReadOnlyFileLoads) {
  auto source = makeEffect();
  makeDistinct(*source, 0, "Read only", 0.5f);
  const std::filesystem::path path = files_ / "readonly.zeb";
  writeBytes(path, presetImageOf(*source));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  DialogScript script;
  script.answers = {{path.string()}};
  auto effect = makeEffect();
  useScript(*effect, script);
  editorOf(*effect).loadPreset(false);
  EXPECT_STREQ(effect->preset(0).name, "Read only");
  EXPECT_TRUE(takeAlerts().empty());
  // As root the permission bits stop nothing, so the open mode itself is checked too
  // (XPlatFileTest): a load never asks for write access.
}

TEST_F(PresetFiles, TheAnswerIsTakenInALaterIdleAndOneDialogAtATime) {
  const std::string path = (files_ / "late.zeb").string();
  auto source = makeEffect();
  makeDistinct(*source, 0, "Late one", 0.25f);
  DialogScript saving;
  saving.answers = {{path}};
  useScript(*source, saving);
  editorOf(*source).savePreset();

  auto effect = makeEffect();
  DialogScript script;
  script.answers = {{path}};
  script.holdOpen = true;
  useScript(*effect, script);
  CPresetSystemEditor& editor = editorOf(*effect);
  editor.loadPreset(false);
  EXPECT_TRUE(editor.fileDialogOpen());
  // The user is still looking: nothing is loaded, and other buttons ask nothing.
  editor.idle();
  editor.loadBank(false);
  editor.savePreset();
  EXPECT_EQ(script.requests.size(), 1u);
  EXPECT_NE(effect->getParameter(15), 0.25f);

  script.holdOpen = false;
  editor.idle();
  EXPECT_FALSE(editor.fileDialogOpen());
  EXPECT_EQ(effect->getParameter(15), 0.25f);
  EXPECT_EQ(editor.presetFileName(), "late.zeb");
}

TEST_F(PresetFiles, ClosingThePanelEndsAnOpenDialogWithoutActing) {
  auto effect = makeEffect();
  DialogScript script;
  script.answers = {{(files_ / "never.zbb").string()}};
  script.holdOpen = true;
  useScript(*effect, script);
  CPresetSystemEditor& editor = editorOf(*effect);
  editor.saveBank();
  editor.close();
  EXPECT_EQ(script.cancelled, 1);
  EXPECT_FALSE(editor.fileDialogOpen());
  script.holdOpen = false;
  editor.idle();
  EXPECT_FALSE(std::filesystem::exists(files_ / "never.zbb"));
  EXPECT_EQ(editor.bankFileName(), "");
}

}  // namespace
}  // namespace tavola::test
