#pragma once
// Audio files through libsndfile: reading any file it knows, and writing WAV, AIFF or
// FLAC with the sample format chosen from the input's.

#include <sndfile.h>

#include <memory>
#include <optional>
#include <string>

#include "tools/common/Status.h"
#include "tools/tavola-render/FrameStream.h"

namespace tavola::render {

// The libsndfile container (SF_FORMAT_WAV, SF_FORMAT_AIFF or SF_FORMAT_FLAC) for a file
// name's extension, case-insensitive; none for any other extension.
std::optional<int> containerForPath(const std::string& path);
bool containerHoldsFloat(int container);

// The complete libsndfile format for an output: the input's sample format when the
// container can hold it at this rate and channel count, else 24-bit PCM; 32-bit float when
// asked for. Zero when the container cannot hold what is asked.
int chooseOutputFormat(int container, int inputFormat, bool floatSamples, int channels, int rate);

// "WAV, 24-bit PCM" and the like.
std::string describeFormat(int format);
bool isFloatFormat(int format);

class SoundFileReader : public FrameReader {
 public:
  static Status open(const std::string& path, std::unique_ptr<SoundFileReader>& reader);
  ~SoundFileReader() override;

  long frames() const { return static_cast<long>(info_.frames); }
  int channels() const { return info_.channels; }
  int sampleRate() const { return info_.samplerate; }
  int format() const { return info_.format; }
  // Frames the file's header promises but its data does not hold (a file cut short while
  // it was copied or written); 0 for a whole file.
  long framesMissing() const;

  long read(float* interleaved, long frames) override;
  long read(double* interleaved, long frames) override;

 private:
  SoundFileReader(SNDFILE* file, const SF_INFO& info) : file_(file), info_(info) {}
  SNDFILE* file_;
  SF_INFO info_;
};

class SoundFileWriter : public FrameWriter {
 public:
  // Writes into an open descriptor, which stays open and belongs to the caller.
  static Status open(int fd, const std::string& name, int format, int channels, int rate,
                     std::unique_ptr<SoundFileWriter>& writer);
  ~SoundFileWriter() override;

  bool write(const float* interleaved, long frames) override;
  bool write(const double* interleaved, long frames) override;
  std::string error() const override;
  // Finishes the file (headers, FLAC frames); the descriptor stays open.
  Status close();

 private:
  SoundFileWriter(SNDFILE* file, std::string name) : file_(file), name_(std::move(name)) {}
  SNDFILE* file_;
  std::string name_;
};

}  // namespace tavola::render
