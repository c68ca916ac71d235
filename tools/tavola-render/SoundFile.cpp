#include "tools/tavola-render/SoundFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavola::render {
namespace {

std::string lowerExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

bool formatAvailable(int format, int channels, int rate) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = rate;
  return sf_format_check(&info) == SF_TRUE;
}

}  // namespace

std::optional<int> containerForPath(const std::string& path) {
  const std::string extension = lowerExtension(path);
  if (extension == "wav") return SF_FORMAT_WAV;
  if (extension == "aif" || extension == "aiff") return SF_FORMAT_AIFF;
  if (extension == "flac") return SF_FORMAT_FLAC;
  return std::nullopt;
}

bool containerHoldsFloat(int container) {
  return container == SF_FORMAT_WAV || container == SF_FORMAT_AIFF;
}

int chooseOutputFormat(int container, int inputFormat, bool floatSamples, int channels, int rate) {
  if (floatSamples) {
    const int format = container | SF_FORMAT_FLOAT;
    return formatAvailable(format, channels, rate) ? format : 0;
  }
  const int kept = container | (inputFormat & SF_FORMAT_SUBMASK);
  if ((inputFormat & SF_FORMAT_SUBMASK) != 0 && formatAvailable(kept, channels, rate)) return kept;
  const int pcm24 = container | SF_FORMAT_PCM_24;
  return formatAvailable(pcm24, channels, rate) ? pcm24 : 0;
}

bool isFloatFormat(int format) {
  const int subtype = format & SF_FORMAT_SUBMASK;
  return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

std::string describeFormat(int format) {
  std::string text;
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
      text = "WAV";
      break;
    case SF_FORMAT_AIFF:
      text = "AIFF";
      break;
    case SF_FORMAT_FLAC:
      text = "FLAC";
      break;
    default:
      text = "audio";
  }
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return text + ", 8-bit PCM";
    case SF_FORMAT_PCM_16:
      return text + ", 16-bit PCM";
    case SF_FORMAT_PCM_24:
      return text + ", 24-bit PCM";
    case SF_FORMAT_PCM_32:
      return text + ", 32-bit PCM";
    case SF_FORMAT_FLOAT:
      return text + ", 32-bit float";
    case SF_FORMAT_DOUBLE:
      return text + ", 64-bit float";
    default:
      return text;
  }
}

namespace {

// What a file that libsndfile refused looks like, for the message: empty, text, or a
// sound file header it could not take, with libsndfile's own words last.
std::string describeRefused(const std::string& path, off_t size, const char* libraryWords) {
  const std::string words = std::string(" (libsndfile: ") + libraryWords + ")";
  if (size == 0) return "it is empty (0 bytes), not a sound file";
  unsigned char head[512];
  std::size_t got = 0;
  if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
    got = std::fread(head, 1, sizeof head, in);
    std::fclose(in);
  }
  const std::string start(reinterpret_cast<const char*>(head), std::min<std::size_t>(got, 4));
  if (start == "RIFF" || start == "FORM" || start == "fLaC" || start == "RF64")
    return "its header says " + start + " but the file is damaged or cut short" + words;
  const bool text = got > 0 && std::all_of(head, head + got, [](unsigned char c) {
                      return c == '\n' || c == '\r' || c == '\t' || (c >= 0x20 && c != 0x7f);
                    });
  if (text) return "it is a text file, not a sound file";
  return "it is not a WAV, AIFF or FLAC file" + words;
}

}  // namespace

Status SoundFileReader::open(const std::string& path, std::unique_ptr<SoundFileReader>& reader) {
  reader.reset();
  // libsndfile words a missing or unreadable file as a "System error"; the system's own
  // words read better.
  const int probe = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (probe < 0) return Status::runtime("cannot read " + path + ": " + std::strerror(errno));
  struct stat status {};
  const bool folder = ::fstat(probe, &status) == 0 && S_ISDIR(status.st_mode);
  ::close(probe);
  if (folder) return Status::runtime("cannot read " + path + ": it is a folder");
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    return Status::runtime("cannot read " + path + ": " +
                           describeRefused(path, status.st_size, sf_strerror(nullptr)));
  if (info.channels < 1 || info.channels > 2) {
    sf_close(file);
    return Status::runtime(path + " has " + std::to_string(info.channels) +
                           " channels; only mono and stereo files can be rendered");
  }
  if (info.samplerate < 1) {
    sf_close(file);
    return Status::runtime(path + " gives no usable sample rate");
  }
  reader.reset(new SoundFileReader(file, info));
  return Status();
}

SoundFileReader::~SoundFileReader() {
  sf_close(file_);
}

long SoundFileReader::framesMissing() const {
  // libsndfile reads a cut-short file up to its real end and notes the shortfall in its
  // log, as "data : <promised bytes> (should be <bytes there>)" ("SSND" in AIFF files).
  char log[4096] = {};
  sf_command(file_, SFC_GET_LOG_INFO, log, sizeof log);
  if (info_.frames <= 0) return 0;
  for (const char* chunk : {"data : ", "SSND : "}) {
    const char* at = std::strstr(log, chunk);
    long long promised = 0, present = 0;
    if (at &&
        std::sscanf(at + std::strlen(chunk), "%lld (should be %lld)", &promised, &present) == 2 &&
        promised > present && present > 0) {
      const double bytesPerFrame = static_cast<double>(present) / static_cast<double>(info_.frames);
      return static_cast<long>(static_cast<double>(promised - present) / bytesPerFrame + 0.5);
    }
  }
  return 0;
}

long SoundFileReader::read(float* interleaved, long frames) {
  return static_cast<long>(sf_readf_float(file_, interleaved, frames));
}

long SoundFileReader::read(double* interleaved, long frames) {
  return static_cast<long>(sf_readf_double(file_, interleaved, frames));
}

Status SoundFileWriter::open(int fd, const std::string& name, int format, int channels, int rate,
                             std::unique_ptr<SoundFileWriter>& writer) {
  writer.reset();
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = rate;
  SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
  if (!file) return Status::runtime("cannot write " + name + ": " + sf_strerror(nullptr));
  // Integer files clip samples beyond full scale instead of letting them wrap around.
  if (!isFloatFormat(format)) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  writer.reset(new SoundFileWriter(file, name));
  return Status();
}

SoundFileWriter::~SoundFileWriter() {
  if (file_) sf_close(file_);
}

bool SoundFileWriter::write(const float* interleaved, long frames) {
  return sf_writef_float(file_, interleaved, frames) == frames;
}

bool SoundFileWriter::write(const double* interleaved, long frames) {
  return sf_writef_double(file_, interleaved, frames) == frames;
}

std::string SoundFileWriter::error() const {
  return "cannot write " + name_ + ": " + (file_ ? sf_strerror(file_) : "file closed");
}

Status SoundFileWriter::close() {
  if (!file_) return Status();
  const int result = sf_close(file_);
  file_ = nullptr;
  if (result != 0)
    return Status::runtime("cannot finish " + name_ + ": " + sf_error_number(result));
  return Status();
}

}  // namespace tavola::render
