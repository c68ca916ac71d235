#pragma once
// Shared pieces of the renderer's tests: the built plug-in loaded once through the
// renderer's own host wrapper, a scratch directory per test, audio files written and read
// back with libsndfile directly (not through the code under test), and the real
// tavola-render program run as a child process.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "tools/common/Console.h"
#include "tools/common/EffectSession.h"
#include "tools/common/ParameterValue.h"

extern char** environ;

namespace tavola::render::test {

inline const char* pluginPath() {
  return TAVOLA_PLUGIN_PATH;
}

inline const char* renderProgram() {
  return TAVOLA_RENDER_PATH;
}

inline const char* presetProgram() {
  return TAVOLA_PRESET_PATH;
}

// Quiet: the plug-in's diagnostic lines would bury the test output.
inline const Console& console() {
  static const Console quiet(false);
  return quiet;
}

inline const PluginHost& host() {
  static std::unique_ptr<PluginHost> loaded = [] {
    std::unique_ptr<PluginHost> host;
    const Status status = PluginHost::load(pluginPath(), console(), host);
    EXPECT_TRUE(status.ok()) << status.message();
    return host;
  }();
  return *loaded;
}

// NAME=VALUE resolved on a scratch instance of the plug-in, as the renderer does.
inline Status resolveOnScratch(const char* name, const char* value, ParameterSetting& setting) {
  std::unique_ptr<HostedEffect> scratch;
  if (Status status = host().createInstance(scratch); !status.ok()) return status;
  auto quiet = console().probeCalls();
  return resolveSetting(*scratch, name, value, setting);
}

inline ParameterSetting resolved(const char* name, const char* value) {
  ParameterSetting setting;
  const Status status = resolveOnScratch(name, value, setting);
  EXPECT_TRUE(status.ok()) << name << "=" << value << ": " << status.message();
  return setting;
}

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tavola-render-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = ::mkdtemp(buffer.data());
    EXPECT_NE(made, nullptr);
    path_ = made ? made : "";
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of everything in the directory, sorted.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

struct AudioFile {
  SF_INFO info{};
  std::vector<double> samples;  // interleaved
  long frames() const { return static_cast<long>(info.frames); }
  double at(long frame, int channel) const {
    return samples[static_cast<std::size_t>(frame * info.channels + channel)];
  }
};

inline bool writeAudioFile(const std::string& path, int format, int channels, int rate,
                           const std::vector<double>& interleaved) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = rate;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
  const bool written = sf_writef_double(file, interleaved.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

inline AudioFile readAudioFile(const std::string& path) {
  AudioFile audio;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
  EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  if (!file) return audio;
  audio.samples.resize(static_cast<std::size_t>(audio.info.frames * audio.info.channels));
  EXPECT_EQ(sf_readf_double(file, audio.samples.data(), audio.info.frames), audio.info.frames);
  sf_close(file);
  return audio;
}

// A sine per channel (the second a fifth above the first), interleaved.
inline std::vector<double> sineFrames(long frames, int channels, double rate, double hz,
                                      double amplitude) {
  std::vector<double> samples;
  for (long n = 0; n < frames; ++n)
    for (int c = 0; c < channels; ++c)
      samples.push_back(amplitude *
                        std::sin(2.0 * std::numbers::pi * hz * (1.0 + 0.5 * c) * n / rate));
  return samples;
}

inline std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(got));
  return text;
}

// Runs a program with the arguments, in the directory given, and collects both streams.
// Standard error goes to a file, so that neither pipe can fill while the other is read.
inline CommandResult runProgram(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const std::string& directory) {
  CommandResult result;
  const std::string errorFile = directory + "/.stderr";
  int outPipe[2];
  if (::pipe(outPipe) != 0) return result;
  const int errFd = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, outPipe[0]);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

  std::vector<std::string> all = {program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);

  pid_t child = -1;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errFd);
  if (spawned != 0) {
    ::close(outPipe[0]);
    return result;
  }
  result.out = readAll(outPipe[0]);
  ::close(outPipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.err = fileBytes(errorFile);
  std::filesystem::remove(errorFile);
  return result;
}

inline CommandResult runRenderer(const std::vector<std::string>& arguments,
                                 const std::string& directory) {
  return runProgram(renderProgram(), arguments, directory);
}

inline CommandResult runPresetTool(const std::vector<std::string>& arguments,
                                   const std::string& directory) {
  return runProgram(presetProgram(), arguments, directory);
}

}  // namespace tavola::render::test
