#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

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

// The process that made a temporary file of ours, from its name ".NAME.tmp-PID-COUNT";
// 0 for any other name.
pid_t makerOfTemporary(const std::string& name) {
  const std::size_t mark = name.rfind(".tmp-");
  if (name.size() < 2 || name[0] != '.' || mark == std::string::npos || mark < 2) return 0;
  const std::string rest = name.substr(mark + 5);
  const std::size_t dash = rest.find('-');
  const auto digits = [](const std::string& text) {
    return !text.empty() && text.size() <= 10 &&
           text.find_first_not_of("0123456789") == std::string::npos;
  };
  if (dash == std::string::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1)))
    return 0;
  const long pid = std::stol(rest.substr(0, dash));
  return pid > 0 && pid <= std::numeric_limits<pid_t>::max() ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

void removeStaleTemporaries(const std::filesystem::path& directory) {
  std::error_code error;
  std::filesystem::directory_iterator entries(directory, error);
  if (error) return;
  for (const std::filesystem::directory_entry& entry : entries) {
    const pid_t maker = makerOfTemporary(entry.path().filename().string());
    if (maker == 0 || maker == ::getpid()) continue;
    struct stat status {};
    if (::lstat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != ::getuid())
      continue;
    // Only once its maker has gone: a live writer's file is its own to commit or remove.
    if (::kill(maker, 0) == 0 || errno != ESRCH) continue;
    ::unlink(entry.path().c_str());
  }
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {
  removeStaleTemporaries(directoryOf(target_));
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
