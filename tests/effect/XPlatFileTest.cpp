// The preset system's platform helpers: splitting a path, reading read-only, writing
// through a temporary file, and the alert line.

#include "presets/XPlatFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempFolder.h"

namespace tavola::test {
namespace {

std::string contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(XPlatFile, PathsSplitAtTheLastSlash) {
  std::string name = "unchanged", directory = "unchanged";
  XPlatGetFileNameAndDir("/home/ana/Presets/Vocal take.zeb", name, directory);
  EXPECT_EQ(name, "Vocal take.zeb");
  EXPECT_EQ(directory, "/home/ana/Presets/");
  XPlatGetFileNameAndDir("/folder/", name, directory);
  EXPECT_EQ(name, "");
  EXPECT_EQ(directory, "/folder/");
  name = directory = "unchanged";
  XPlatGetFileNameAndDir("no-slash.zeb", name, directory);
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(directory, "unchanged");
}

TEST(XPlatFile, ReadingNeverAsksForWriteAccess) {
  TempFolder folder;
  { std::ofstream(folder / "locked.zeb") << "twelve bytes"; }
  ASSERT_EQ(::chmod((folder / "locked.zeb").c_str(), 0444), 0);
  std::unique_ptr<XPlatFile> file;
  std::string error;
  const std::string directory = folder.path().string() + "/";
  ASSERT_EQ(XPlatFileOpen("locked.zeb", directory, file, false, &error), 12) << error;
  // Checked on the descriptor: tests may run as root, whom mode 0444 does not stop.
  EXPECT_EQ(::fcntl(file->readDescriptor(), F_GETFL) & O_ACCMODE, O_RDONLY);
  char text[12];
  ASSERT_TRUE(XPlatFileRead(file.get(), text, sizeof text, &error)) << error;
  EXPECT_EQ(std::string(text, sizeof text), "twelve bytes");
  // Asking for more than is there fails with the reason instead of returning short.
  EXPECT_FALSE(XPlatFileRead(file.get(), text, 1, &error));
  EXPECT_NE(error.find("ended after 0 of 1 bytes"), std::string::npos) << error;
  EXPECT_TRUE(XPlatFileClose(file));
  EXPECT_EQ(file, nullptr);
}

TEST(XPlatFile, OnlyRegularFilesAreOpenedForReading) {
  TempFolder folder;
  const std::string directory = folder.path().string() + "/";
  ASSERT_EQ(::mkfifo((folder / "pipe.zeb").c_str(), 0600), 0);
  std::filesystem::create_directory(folder / "sub.zeb");
  std::unique_ptr<XPlatFile> file;
  std::string error;
  // A FIFO must neither hang the host nor be read.
  EXPECT_EQ(XPlatFileOpen("pipe.zeb", directory, file, false, &error), -1);
  EXPECT_NE(error.find("is not a file"), std::string::npos) << error;
  EXPECT_EQ(XPlatFileOpen("sub.zeb", directory, file, false, &error), -1);
  EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
  EXPECT_EQ(XPlatFileOpen("none.zeb", directory, file, false, &error), -1);
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  EXPECT_EQ(file, nullptr);
  // Without a handle nothing happens.
  char byte;
  EXPECT_FALSE(XPlatFileRead(nullptr, &byte, 1));
  EXPECT_FALSE(XPlatFileWrite(nullptr, &byte, 1));
  EXPECT_TRUE(XPlatFileClose(file));
}

TEST(XPlatFile, WritingReplacesTheTargetOnlyWhenClosed) {
  TempFolder folder;
  const std::string directory = folder.path().string() + "/";
  { std::ofstream(folder / "bank.zbb") << "old bank"; }
  std::unique_ptr<XPlatFile> file;
  ASSERT_EQ(XPlatFileOpen("bank.zbb", directory, file, true), 0);
  ASSERT_TRUE(XPlatFileWrite(file.get(), "new", 3));
  EXPECT_EQ(contents(folder / "bank.zbb"), "old bank");
  ASSERT_TRUE(XPlatFileClose(file));
  EXPECT_EQ(contents(folder / "bank.zbb"), "new");

  // Abandoned without closing: the old contents stay and no temporary file remains.
  ASSERT_EQ(XPlatFileOpen("bank.zbb", directory, file, true), 0);
  ASSERT_TRUE(XPlatFileWrite(file.get(), "half", 4));
  file.reset();
  EXPECT_EQ(contents(folder / "bank.zbb"), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

  std::string error;
  EXPECT_EQ(XPlatFileOpen("x.zeb", directory + "missing/", file, true, &error), -1);
  EXPECT_NE(error.find("cannot create a file in"), std::string::npos) << error;
}

TEST(XPlatFile, AnAlertIsOneLineOnStandardError) {
  testing::internal::CaptureStderr();
  XPlatDisplayAlert("Could not open manual file:\n~/Documents/x.pdf");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ZEB Tavola: Could not open manual file: ~/Documents/x.pdf\n");
}

}  // namespace
}  // namespace tavola::test
