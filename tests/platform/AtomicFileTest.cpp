#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "support/TempFolder.h"

using namespace tavola;

namespace {

std::vector<unsigned char> bytesOf(const std::string& text) {
  return std::vector<unsigned char>(text.begin(), text.end());
}

std::string contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int entries(const std::filesystem::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

}  // namespace

TEST(AtomicFile, WritesAndReplacesWholeFiles) {
  test::TempFolder folder;
  const auto target = folder / "preset.zeb";
  std::string error;
  ASSERT_TRUE(writeFileAtomically(target, bytesOf("first version"), &error)) << error;
  EXPECT_EQ(contents(target), "first version");
  ASSERT_TRUE(writeFileAtomically(target, bytesOf("second"), &error)) << error;
  EXPECT_EQ(contents(target), "second");
  ASSERT_TRUE(writeFileAtomically(target, {}, &error)) << error;
  EXPECT_EQ(contents(target), "");
  EXPECT_EQ(entries(folder.path()), 1);  // no temporary file left behind
}

TEST(AtomicFile, NewFilesFollowTheUmask) {
  test::TempFolder folder;
  const mode_t previous = ::umask(022);
  ASSERT_TRUE(writeFileAtomically(folder / "a", bytesOf("x")));
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat((folder / "a").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicFile, AFailureKeepsTheOldFileAndLeavesNoTemporary) {
  test::TempFolder folder;
  // A target that cannot be replaced: a folder holding a file.
  const auto target = folder / "busy";
  std::filesystem::create_directory(target);
  std::ofstream(target / "inside") << "keep me";
  std::string error;
  EXPECT_FALSE(writeFileAtomically(target, bytesOf("new"), &error));
  EXPECT_NE(error.find("cannot replace"), std::string::npos) << error;
  EXPECT_EQ(contents(target / "inside"), "keep me");
  EXPECT_EQ(entries(folder.path()), 1);

  // A folder that does not exist: nothing can be created at all.
  EXPECT_FALSE(writeFileAtomically(folder / "missing" / "x.zeb", bytesOf("new"), &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST(AtomicFile, AnUncommittedWriterLeavesTheTargetAlone) {
  test::TempFolder folder;
  const auto target = folder / "bank.zbb";
  ASSERT_TRUE(writeFileAtomically(target, bytesOf("old")));
  {
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.write(bytesOf("half of the new")));
    EXPECT_TRUE(std::filesystem::exists(writer.temporaryPath()));
  }
  EXPECT_EQ(contents(target), "old");
  EXPECT_EQ(entries(folder.path()), 1);
}

TEST(AtomicFile, RemovalIsIdempotent) {
  test::TempFolder folder;
  const auto target = folder / "gone";
  ASSERT_TRUE(writeFileAtomically(target, bytesOf("x")));
  EXPECT_TRUE(removeFileDurably(target));
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_TRUE(removeFileDurably(target));
}

TEST(AtomicFile, TheNextWriteRemovesWhatDeadWritersLeft) {
  test::TempFolder folder;
  // A process that has ended: its pid names no process now.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  const std::string dead = std::to_string(child), alive = std::to_string(getppid());
  const std::vector<std::string> leftovers = {"." + std::string("take.wav.tmp-") + dead + "-0",
                                              ".DefaultBank.tmp-" + dead + "-12"};
  const std::vector<std::string> kept = {".take.wav.tmp-" + alive + "-0",  // still writing
                                         ".take.wav.tmp-" + dead,          // not our naming
                                         "take.wav.tmp-" + dead + "-0", ".notes.tmp-x-1"};
  for (const std::string& name : leftovers) std::ofstream(folder / name) << "half";
  for (const std::string& name : kept) std::ofstream(folder / name) << "someone's";

  std::string error;
  ASSERT_TRUE(writeFileAtomically(folder / "other.zeb", bytesOf("new"), &error)) << error;
  for (const std::string& name : leftovers)
    EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
}
