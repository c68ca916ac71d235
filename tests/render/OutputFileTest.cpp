// The output file: never the input, whatever name leads to it; no replacing without
// --force; and a render that fails half-way leaves neither a partial output nor a
// temporary file, and an earlier output exactly as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "render/RenderTestSupport.h"
#include "tools/common/OutputFile.h"
#include "tools/tavola-render/RenderJob.h"

namespace tavola::render {
namespace {

void writeText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string makeInput(const test::TempDir& dir, const std::string& name = "in.wav",
                      long frames = 4000) {
  const std::string path = dir.file(name);
  EXPECT_TRUE(test::writeAudioFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100,
                                   test::sineFrames(frames, 2, 44100.0, 220.0, 0.3)));
  return path;
}

TEST(OutputFile, SameFileSeesThroughOtherNames) {
  test::TempDir dir;
  const std::string file = dir.file("a.wav");
  writeText(file, "x");
  writeText(dir.file("b.wav"), "x");
  ::mkdir(dir.file("sub").c_str(), 0755);
  ASSERT_EQ(::symlink(file.c_str(), dir.file("link.wav").c_str()), 0);
  ASSERT_EQ(::link(file.c_str(), dir.file("hard.wav").c_str()), 0);

  EXPECT_TRUE(sameFile(file, file));
  EXPECT_TRUE(sameFile(file, dir.file("sub/../a.wav")));
  EXPECT_TRUE(sameFile(file, dir.path() + "//./a.wav"));
  EXPECT_TRUE(sameFile(dir.file("link.wav"), file));
  EXPECT_TRUE(sameFile(dir.file("hard.wav"), file));
  EXPECT_FALSE(sameFile(file, dir.file("b.wav")));
  EXPECT_FALSE(sameFile(file, dir.file("missing.wav")));
  EXPECT_FALSE(sameFile(dir.file("missing.wav"), dir.file("missing.wav")));
}

TEST(OutputFile, CheckOutputPathRefusals) {
  test::TempDir dir;
  const std::string input = dir.file("in.wav");
  writeText(input, "x");
  writeText(dir.file("old.wav"), "y");
  ::mkdir(dir.file("folder.wav").c_str(), 0755);

  EXPECT_TRUE(checkOutputPath(dir.file("new.wav"), input, false).ok());
  EXPECT_EQ(checkOutputPath(dir.file("old.wav"), input, false).message(),
            dir.file("old.wav") + " exists; use --force to replace it");
  EXPECT_TRUE(checkOutputPath(dir.file("old.wav"), input, true).ok());
  EXPECT_EQ(checkOutputPath(input, input, true).message(),
            "refusing to write " + input + ": it is the input file");
  EXPECT_EQ(checkOutputPath(dir.file("folder.wav"), input, true).message(),
            dir.file("folder.wav") + " is a directory");
}

TEST(OutputFile, CommitReplacesAndDiscardLeavesNothing) {
  test::TempDir dir;
  const std::string target = dir.file("out.wav");
  writeText(target, "old contents");
  {
    std::unique_ptr<OutputFile> file;
    ASSERT_TRUE(OutputFile::create(target, file).ok());
    EXPECT_EQ(file->temporaryPath().rfind(dir.path() + "/.out.wav.tmp-", 0), 0u);
    ASSERT_EQ(::write(file->fd(), "new", 3), 3);
    EXPECT_EQ(dir.entries().size(), 2u);
    // Dropped without commit: a failure.
  }
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.wav"});
  EXPECT_EQ(test::fileBytes(target), "old contents");

  std::unique_ptr<OutputFile> file;
  ASSERT_TRUE(OutputFile::create(target, file).ok());
  ASSERT_EQ(::write(file->fd(), "new", 3), 3);
  ASSERT_TRUE(file->commit().ok());
  file.reset();
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.wav"});
  EXPECT_EQ(test::fileBytes(target), "new");

  // Made as the user's other files are, not private as a temporary file is.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
}

TEST(OutputFile, AMissingDirectoryIsARuntimeFailure) {
  test::TempDir dir;
  std::unique_ptr<OutputFile> file;
  const Status status = OutputFile::create(dir.file("nowhere/out.wav"), file);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message(),
            "cannot create a file in " + dir.file("nowhere") + ": No such file or directory");
}

TEST(RenderOutput, NeverOverwritesTheInput) {
  test::TempDir dir;
  const std::string input = makeInput(dir);
  const std::string before = test::fileBytes(input);
  ::mkdir(dir.file("sub").c_str(), 0755);
  ASSERT_EQ(::symlink(input.c_str(), dir.file("link.wav").c_str()), 0);
  for (const std::string& output :
       {input, dir.file("sub/../in.wav"), dir.file("./in.wav"), dir.file("link.wav")}) {
    RenderJob job;
    job.input = input;
    job.output = output;
    job.force = true;
    RenderSummary summary;
    const Status status = renderFile(test::host(), test::console(), job, {}, summary);
    EXPECT_EQ(status.kind(), Status::Kind::kRuntime) << output;
    EXPECT_EQ(status.message(), "refusing to write " + output + ": it is the input file");
  }
  // Given through the link as input, the real file is refused as output as well.
  RenderJob job;
  job.input = dir.file("link.wav");
  job.output = input;
  job.force = true;
  RenderSummary summary;
  EXPECT_EQ(renderFile(test::host(), test::console(), job, {}, summary).message(),
            "refusing to write " + input + ": it is the input file");
  EXPECT_EQ(test::fileBytes(input), before);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.wav", "link.wav", "sub"}));
}

TEST(RenderOutput, ReplacesAnExistingOutputOnlyWhenForced) {
  test::TempDir dir;
  const std::string input = makeInput(dir);
  const std::string output = dir.file("out.wav");
  writeText(output, "keep me");
  RenderJob job;
  job.input = input;
  job.output = output;
  RenderSummary summary;
  const Status refused = renderFile(test::host(), test::console(), job, {}, summary);
  EXPECT_EQ(refused.message(), output + " exists; use --force to replace it");
  EXPECT_EQ(test::fileBytes(output), "keep me");

  job.force = true;
  ASSERT_TRUE(renderFile(test::host(), test::console(), job, {}, summary).ok());
  EXPECT_EQ(test::readAudioFile(output).frames(), 4000);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

// A failure in the middle of a render (here the stop that an interrupt causes, once a few
// blocks have gone into the temporary file) must leave the directory as it was.
TEST(RenderOutput, AFailureHalfWayLeavesNoTraceAndTheOldOutputIntact) {
  test::TempDir dir;
  const std::string input = makeInput(dir, "in.wav", 20000);
  const std::string output = dir.file("out.flac");
  writeText(output, "the previous render");
  RenderJob job;
  job.input = input;
  job.output = output;
  job.force = true;
  int blocks = 0;
  bool temporarySeen = false;
  RenderSummary summary;
  const Status status = renderFile(
      test::host(), test::console(), job,
      [&](long, long) {
        temporarySeen = temporarySeen || dir.entries().size() == 3;
        return ++blocks < 3;
      },
      summary);
  EXPECT_EQ(status.kind(), Status::Kind::kInterrupted);
  EXPECT_TRUE(temporarySeen);
  EXPECT_EQ(blocks, 3);
  EXPECT_EQ(test::fileBytes(output), "the previous render");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.wav", "out.flac"}));

  // The same without an earlier output: nothing at all.
  std::filesystem::remove(output);
  blocks = 0;
  EXPECT_FALSE(
      renderFile(
          test::host(), test::console(), job, [&](long, long) { return ++blocks < 2; }, summary)
          .ok());
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.wav"});
}

TEST(RenderOutput, APluginThatCannotBeLoadedWritesNothing) {
  test::TempDir dir;
  const std::string notAPlugin = dir.file("Broken.so");
  writeText(notAPlugin, "this is not a shared object");
  std::unique_ptr<PluginHost> host;
  const Status status = PluginHost::load(notAPlugin, test::console(), host);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message().rfind("cannot load the plug-in " + notAPlugin + ": ", 0), 0u)
      << status.message();
  EXPECT_EQ(host, nullptr);
}

}  // namespace
}  // namespace tavola::render
