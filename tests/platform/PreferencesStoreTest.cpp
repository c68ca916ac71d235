#include "platform/PreferencesStore.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "support/TempFolder.h"

using namespace tavola;

TEST(PreferencesStore, StringsAndBytesRoundTrip) {
  test::TempFolder folder;
  PreferencesStore store(folder / "tavola");
  EXPECT_FALSE(store.readString("CurrDir"));
  ASSERT_TRUE(store.writeString("CurrDir", "/home/ana/Presets/Ünïcode folder/"));
  EXPECT_EQ(store.readString("CurrDir").value(), "/home/ana/Presets/Ünïcode folder/");

  std::vector<unsigned char> block(657);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 7);
  block[3] = 0;  // byte blocks may hold NULs
  ASSERT_TRUE(store.writeBytes("MemoAPreset", block));
  EXPECT_EQ(store.readBytes("MemoAPreset").value(), block);

  ASSERT_TRUE(store.writeString("CurrBank", ""));
  EXPECT_EQ(store.readString("CurrBank").value(), "");

  EXPECT_TRUE(store.remove("MemoAPreset"));
  EXPECT_FALSE(store.readBytes("MemoAPreset"));
  EXPECT_TRUE(store.remove("MemoAPreset"));
}

TEST(PreferencesStore, KeysCannotReachOutsideTheStore) {
  test::TempFolder folder;
  PreferencesStore store(folder / "tavola");
  for (const char* key : {"", "../escape", "a/b", ".hidden", "Memo A", "x\n"}) {
    EXPECT_FALSE(PreferencesStore::isValidKey(key)) << key;
    EXPECT_FALSE(store.writeString(key, "v")) << key;
    EXPECT_FALSE(store.readString(key)) << key;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "escape"));
}

TEST(PreferencesStore, OversizedOrForeignValuesAreIgnored) {
  test::TempFolder folder;
  PreferencesStore store(folder.path());
  std::filesystem::create_directory(folder / "DefaultBank");  // a folder, not a value
  EXPECT_FALSE(store.readBytes("DefaultBank"));
  std::vector<unsigned char> huge(PreferencesStore::kMaxValueSize + 1);
  EXPECT_FALSE(store.writeBytes("DefaultPreset", huge));
  EXPECT_FALSE(store.readBytes("DefaultPreset"));
}

TEST(PreferencesStore, FolderFollowsXdgConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string previous = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
  EXPECT_EQ(PreferencesStore::defaultFolder(), "/somewhere/config/tavola");
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') {
    EXPECT_EQ(PreferencesStore::defaultFolder(), std::filesystem::path(home) / ".config/tavola");
  }
  if (saved)
    ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

// Two processes replace the same value over and over while a third reads it: every read
// must be one whole value, never a mix or a cut.
TEST(PreferencesStore, ConcurrentProcessesNeverSeeATornValue) {
  test::TempFolder folder;
  const std::filesystem::path where = folder / "tavola";
  PreferencesStore(where).writeBytes("MemoAPreset", std::vector<unsigned char>(4353, 'A'));
  auto writer = [&](unsigned char fill, size_t size) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      PreferencesStore store(where);
      const std::vector<unsigned char> value(size, fill);
      int failures = 0;
      for (int i = 0; i < 300; ++i) failures += store.writeBytes("MemoAPreset", value) ? 0 : 1;
      ::_exit(failures == 0 ? 0 : 1);
    }
    return pid;
  };
  const pid_t first = writer('A', 4353);
  const pid_t second = writer('B', 657);
  PreferencesStore reader(where);
  int reads = 0, torn = 0;
  int statuses[2] = {-1, -1};
  const pid_t pids[2] = {first, second};
  auto whole = [](const std::vector<unsigned char>& v, unsigned char fill, size_t size) {
    return v.size() == size &&
           std::all_of(v.begin(), v.end(), [fill](unsigned char c) { return c == fill; });
  };
  while (statuses[0] < 0 || statuses[1] < 0) {
    for (int k = 0; k < 2; ++k) {
      int status = 0;
      if (statuses[k] < 0 && ::waitpid(pids[k], &status, WNOHANG) == pids[k])
        statuses[k] = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    const auto value = reader.readBytes("MemoAPreset");
    ++reads;
    if (!value || !(whole(*value, 'A', 4353) || whole(*value, 'B', 657))) ++torn;
  }
  EXPECT_EQ(statuses[0], 0);
  EXPECT_EQ(statuses[1], 0);
  EXPECT_EQ(torn, 0) << "of " << reads << " reads";
  EXPECT_GT(reads, 10);
}
