#include "presets/XPlatFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <span>

#include "gui/PlatformWindow.h"
#include "platform/AtomicFile.h"
#include "platform/DesktopAlert.h"
#include "platform/DiagnosticWriter.h"

namespace {

bool fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

std::string systemReason(int errorNumber) {
  return std::strerror(errorNumber);
}

}  // namespace

XPlatFile::~XPlatFile() {
  if (fd_ >= 0) ::close(fd_);
}

void XPlatGetFileNameAndDir(std::string_view path, std::string& name, std::string& directory) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return;
  name = std::string(path.substr(slash + 1));
  directory = std::string(path.substr(0, slash + 1));
}

long long XPlatFileOpen(std::string_view name, std::string_view directory,
                        std::unique_ptr<XPlatFile>& handle, bool write, std::string* error) {
  handle.reset();
  std::unique_ptr<XPlatFile> file(new XPlatFile);
  file->path_ = std::string(directory) + std::string(name);

  if (write) {
    file->writer_ = std::make_unique<tavola::AtomicFileWriter>(file->path_);
    if (!file->writer_->ok()) {
      fail(error, file->writer_->error());
      return -1;
    }
    handle = std::move(file);
    return 0;
  }

  // Non-blocking only for the open itself: a FIFO chosen by mistake must not hang the
  // host until someone writes to it. It is refused just below.
  file->fd_ = ::open(file->path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (file->fd_ < 0) {
    fail(error, "cannot open " + file->path_ + ": " + systemReason(errno));
    return -1;
  }
  struct stat info {};
  if (::fstat(file->fd_, &info) != 0) {
    fail(error, "cannot read " + file->path_ + ": " + systemReason(errno));
    return -1;
  }
  if (!S_ISREG(info.st_mode)) {
    fail(error, file->path_ + (S_ISDIR(info.st_mode) ? " is a folder" : " is not a file"));
    return -1;
  }
  ::fcntl(file->fd_, F_SETFL, ::fcntl(file->fd_, F_GETFL) & ~O_NONBLOCK);
  handle = std::move(file);
  return static_cast<long long>(info.st_size);
}

bool XPlatFileRead(XPlatFile* handle, void* buffer, std::size_t count, std::string* error) {
  if (!handle || handle->fd_ < 0) return fail(error, "no file open for reading");
  auto* into = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(handle->fd_, into + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return fail(error, "cannot read " + handle->path_ + ": " + systemReason(errno));
    if (got == 0)
      return fail(error, handle->path_ + " ended after " + std::to_string(done) + " of " +
                             std::to_string(count) + " bytes (was it changed while it was read?)");
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool XPlatFileWrite(XPlatFile* handle, const void* buffer, std::size_t count, std::string* error) {
  if (!handle || !handle->writer_) return fail(error, "no file open for writing");
  if (!handle->writer_->write(std::span(static_cast<const unsigned char*>(buffer), count)))
    return fail(error, handle->writer_->error());
  return true;
}

bool XPlatFileClose(std::unique_ptr<XPlatFile>& handle, std::string* error) {
  if (!handle) return true;
  bool closed = true;
  if (handle->writer_ && !handle->writer_->commit()) closed = fail(error, handle->writer_->error());
  handle.reset();
  return closed;
}

void XPlatDisplayAlert(std::string_view text, VSTGUI::PlatformWindow* window) {
  tavola::diagnostics::logMessage(text);
  // A dialog program of the desktop where there is one, else a window of the editor's
  // own; standard error has the text either way.
  if (!tavola::showDesktopAlert("ZEB Tavola", text) && window)
    window->showAlert("ZEB Tavola", text);
}
