#pragma once
// Interleaved audio frames flowing into and out of the render loop. Files implement these
// with libsndfile; the impulse measurement and the tests use the in-memory versions.

#include <cstddef>
#include <string>
#include <vector>

namespace tavola::render {

class FrameReader {
 public:
  virtual ~FrameReader() = default;
  // Reads up to `frames` interleaved frames; fewer only at the end or on a read error.
  virtual long read(float* interleaved, long frames) = 0;
  virtual long read(double* interleaved, long frames) = 0;
};

class FrameWriter {
 public:
  virtual ~FrameWriter() = default;
  // False on failure, with error() saying why.
  virtual bool write(const float* interleaved, long frames) = 0;
  virtual bool write(const double* interleaved, long frames) = 0;
  virtual std::string error() const { return "write failed"; }
};

// Frames held in memory, in double precision.
class MemoryFrameReader : public FrameReader {
 public:
  MemoryFrameReader(std::vector<double> interleaved, int channels)
      : samples_(std::move(interleaved)), channels_(channels) {}
  long frames() const { return static_cast<long>(samples_.size()) / channels_; }
  long read(float* interleaved, long frames) override { return copyOut(interleaved, frames); }
  long read(double* interleaved, long frames) override { return copyOut(interleaved, frames); }

 private:
  template <typename Sample>
  long copyOut(Sample* interleaved, long frames) {
    const long available = this->frames() - position_;
    const long count = frames < available ? frames : available;
    const std::size_t first = static_cast<std::size_t>(position_ * channels_);
    for (std::size_t i = 0; i < static_cast<std::size_t>(count * channels_); ++i)
      interleaved[i] = static_cast<Sample>(samples_[first + i]);
    position_ += count;
    return count;
  }

  std::vector<double> samples_;
  int channels_;
  long position_ = 0;
};

class MemoryFrameWriter : public FrameWriter {
 public:
  explicit MemoryFrameWriter(int channels) : channels_(channels) {}
  bool write(const float* interleaved, long frames) override { return append(interleaved, frames); }
  bool write(const double* interleaved, long frames) override {
    return append(interleaved, frames);
  }
  const std::vector<double>& samples() const { return samples_; }
  long frames() const { return static_cast<long>(samples_.size()) / channels_; }

 private:
  template <typename Sample>
  bool append(const Sample* interleaved, long frames) {
    samples_.insert(samples_.end(), interleaved, interleaved + frames * channels_);
    return true;
  }

  std::vector<double> samples_;
  int channels_;
};

}  // namespace tavola::render
