// The desktop's file dialog run as a helper program: the arguments each program gets, the
// answer read from its output, and the real spawning, with stand-in programs that record
// their arguments and print a scripted answer.

#include "platform/ExternalFileDialog.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Reaping.h"
#include "support/StandInPrograms.h"
#include "support/TempFolder.h"

namespace tavola {
namespace {

using Strings = std::vector<std::string>;

FileDialogRequest openPreset() {
  FileDialogRequest request;
  request.title = "Load preset";
  request.filterDescription = "ZEB Preset";
  request.extension = "zeb";
  request.initialDirectory = "/home/ana/Presets/";
  return request;
}

FileDialogRequest saveBank() {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::kSave;
  request.title = "Save bank";
  request.filterDescription = "ZEB Bank";
  request.extension = "zbb";
  request.initialDirectory = "/home/ana/Banks";
  request.defaultName = "Session.zbb";
  return request;
}

TEST(FileDialogArguments, Zenity) {
  EXPECT_EQ(zenityArguments(openPreset()),
            (Strings{"--file-selection", "--title=Load preset", "--filename=/home/ana/Presets/",
                     "--file-filter=ZEB Preset (*.zeb) | *.zeb", "--file-filter=All files | *"}));
  EXPECT_EQ(zenityArguments(saveBank()),
            (Strings{"--file-selection", "--title=Save bank", "--save", "--confirm-overwrite",
                     "--filename=/home/ana/Banks/Session.zbb",
                     "--file-filter=ZEB Bank (*.zbb) | *.zbb", "--file-filter=All files | *"}));
}

TEST(FileDialogArguments, Kdialog) {
  EXPECT_EQ(kdialogArguments(openPreset()), (Strings{"--title", "Load preset", "--getopenfilename",
                                                     "/home/ana/Presets/", "ZEB Preset (*.zeb)"}));
  EXPECT_EQ(kdialogArguments(saveBank()),
            (Strings{"--title", "Save bank", "--getsavefilename", "/home/ana/Banks/Session.zbb",
                     "ZEB Bank (*.zbb)"}));
}

TEST(FileDialogArguments, NoFolderStartsAtHome) {
  FileDialogRequest request = openPreset();
  request.initialDirectory.clear();
  const char* home = std::getenv("HOME");
  const std::string expected = home && home[0] == '/' ? std::string(home) : "";
  EXPECT_EQ(zenityArguments(request)[2].rfind("--filename=" + expected, 0), 0u);
}

TEST(FileDialogOutput, OnePathALine) {
  EXPECT_EQ(chosenPaths(""), Strings{});
  EXPECT_EQ(chosenPaths("\n"), Strings{});
  EXPECT_EQ(chosenPaths("/a/b c.zeb\n"), Strings{"/a/b c.zeb"});
  EXPECT_EQ(chosenPaths("/a/one.zeb\n/a/two.zeb\n"), (Strings{"/a/one.zeb", "/a/two.zeb"}));
  EXPECT_EQ(chosenPaths("/no/newline.zeb"), Strings{"/no/newline.zeb"});
}

using StandIns = test::StandInPrograms;
using test::reapedSoon;

TEST(ExternalFileDialog, ZenityIsRunWithTheArgumentsAsTheyAre) {
  StandIns programs;
  programs.add("zenity", "/home/ana/Presets/Vocal take.zeb\\n", 0);
  programs.add("kdialog", "/wrong\\n", 0);
  ExternalFileDialog dialog("/nonexistent:" + programs.path());
  // A title a shell would act on: passed as one argument, untouched.
  FileDialogRequest request = openPreset();
  request.title = "Load \"it\" $(touch " + programs.path() + "/pwned) `x` 'y'";
  EXPECT_EQ(dialog.choose(request), Strings{"/home/ana/Presets/Vocal take.zeb"});
  EXPECT_EQ(dialog.error(), "");
  EXPECT_EQ(programs.argumentsOf("zenity"), zenityArguments(request));
  EXPECT_FALSE(std::filesystem::exists(programs.folder() / "pwned"));
  EXPECT_FALSE(programs.ran("kdialog"));
}

TEST(ExternalFileDialog, KdialogWhenZenityIsMissing) {
  StandIns programs;
  programs.add("kdialog", "/home/ana/Banks/Session.zbb\\n", 0);
  ExternalFileDialog dialog(programs.path());
  EXPECT_EQ(dialog.choose(saveBank()), Strings{"/home/ana/Banks/Session.zbb"});
  EXPECT_EQ(programs.argumentsOf("kdialog"), kdialogArguments(saveBank()));
}

TEST(ExternalFileDialog, CancelFailureAndAbsence) {
  StandIns cancel;
  cancel.add("zenity", "", 1);
  ExternalFileDialog cancelled(cancel.path());
  EXPECT_EQ(cancelled.choose(openPreset()), Strings{});
  EXPECT_EQ(cancelled.error(), "");

  StandIns broken;
  broken.add("zenity", "", 5);
  ExternalFileDialog failing(broken.path());
  EXPECT_EQ(failing.choose(openPreset()), Strings{});
  EXPECT_NE(failing.error().find("failed with exit status 5"), std::string::npos)
      << failing.error();

  StandIns two;
  two.add("zenity", "/a.zeb\\n/b.zeb\\n", 0);
  EXPECT_EQ(ExternalFileDialog(two.path()).choose(openPreset()), (Strings{"/a.zeb", "/b.zeb"}));

  StandIns none;
  ExternalFileDialog absent(none.path());
  EXPECT_EQ(absent.choose(openPreset()), Strings{});
  EXPECT_EQ(absent.error().rfind("cannot show a file dialog: neither zenity nor kdialog", 0), 0u)
      << absent.error();
}

// Polls as the editor's idle does, for at most five seconds.
bool finishes(FileDialog& dialog, Strings& paths) {
  for (int i = 0; i < 500; ++i) {
    if (dialog.finished(paths)) return true;
    ::usleep(10000);
  }
  return false;
}

pid_t startedPid(const StandIns& programs, const std::string& name) {
  for (int i = 0; i < 500 && programs.pidOf(name) == 0; ++i) ::usleep(10000);
  return programs.pidOf(name);
}

TEST(ExternalFileDialog, TheCallerGoesOnWhileTheUserChooses) {
  StandIns programs;
  programs.add("zenity", "/home/ana/Presets/Late.zeb\\n", 0, true);
  ExternalFileDialog dialog(programs.path());
  ASSERT_TRUE(dialog.start(openPreset()));
  EXPECT_TRUE(dialog.isOpen());
  ASSERT_NE(startedPid(programs, "zenity"), 0);
  Strings paths;
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(dialog.finished(paths));
  // One dialog at a time.
  EXPECT_FALSE(dialog.start(saveBank()));
  programs.answer("zenity");
  ASSERT_TRUE(finishes(dialog, paths));
  EXPECT_EQ(paths, Strings{"/home/ana/Presets/Late.zeb"});
  EXPECT_FALSE(dialog.isOpen());
  // Free again, and a finished dialog answers only once.
  EXPECT_FALSE(dialog.finished(paths));
  EXPECT_TRUE(dialog.start(openPreset()));
}

TEST(ExternalFileDialog, CancelAndDestructionEndTheProgram) {
  StandIns programs;
  programs.add("zenity", "/never.zeb\\n", 0, true);
  pid_t second = 0;
  {
    ExternalFileDialog dialog(programs.path());
    ASSERT_TRUE(dialog.start(openPreset()));
    const pid_t pid = startedPid(programs, "zenity");
    ASSERT_NE(pid, 0);
    dialog.cancel();
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_TRUE(reapedSoon(pid));
    Strings paths;
    EXPECT_FALSE(dialog.finished(paths));
    EXPECT_EQ(dialog.error(), "");
    std::filesystem::remove(programs.folder() / "zenity.pid");
    ASSERT_TRUE(dialog.start(openPreset()));
    second = startedPid(programs, "zenity");
    ASSERT_NE(second, 0);
  }
  EXPECT_TRUE(reapedSoon(second));
}

}  // namespace
}  // namespace tavola
