#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace tavola {

namespace {

std::atomic<unsigned> temporaryCounter{0};

std::filesystem::path directoryOf(const std::filesystem::path& target) {
  const std::filesystem::path parent = target.parent_path();
  return parent.empty() ? std::filesystem::path(".") : parent;
}

// A rename or unlink lasts only once the directory that holds the name is on disk too.
bool syncDirectory(const std::filesystem::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot
  ::close(fd);
  return synced;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {
  const std::string name = target_.filename().string();
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = directoryOf(target_) / ("." + name + ".tmp-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(temporaryCounter.fetch_add(1)));
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    fail("cannot create a file in " + directoryOf(target_).string(), errno);
    temporary_.clear();
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFileWriter::fail(const std::string& what, int errorNumber) {
  if (error_.empty()) error_ = what + ": " + std::strerror(errorNumber);
  return false;
}

bool AtomicFileWriter::write(std::span<const unsigned char> bytes) {
  if (!ok()) return false;
  const unsigned char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return fail("cannot write " + target_.string(), errno);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFileWriter::commit() {
  if (!ok()) return false;
  if (::fsync(fd_) != 0) return fail("cannot write " + target_.string() + " to disk", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail("cannot write " + target_.string(), errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0)
    return fail("cannot replace " + target_.string(), errno);
  committed_ = true;
  if (!syncDirectory(directoryOf(target_)))
    return fail("cannot write the folder of " + target_.string() + " to disk", errno);
  return true;
}

bool writeFileAtomically(const std::filesystem::path& target, std::span<const unsigned char> bytes,
                         std::string* error) {
  AtomicFileWriter writer(target);
  const bool done = writer.write(bytes) && writer.commit();
  if (!done && error) *error = writer.error();
  return done;
}

bool removeFileDurably(const std::filesystem::path& target, std::string* error) {
  if (::unlink(target.c_str()) != 0 && errno != ENOENT) {
    if (error) *error = "cannot remove " + target.string() + ": " + std::strerror(errno);
    return false;
  }
  if (!syncDirectory(directoryOf(target))) {
    if (error) *error = "cannot write the folder of " + target.string() + " to disk";
    return false;
  }
  return true;
}

}  // namespace tavola
