#pragma once
// Writing a file so that anyone reading it sees either the old contents or the new ones,
// never a part: the data goes to a temporary file beside the target, is synced to disk,
// and then renamed over the target. On any failure the target is left as it was and the
// temporary file is removed.

#include <filesystem>
#include <span>
#include <string>

namespace tavola {

class AtomicFileWriter {
 public:
  // Creates the temporary file beside `target` (permissions as for a new file: 0666 less
  // the process's umask). Check ok() before writing.
  explicit AtomicFileWriter(std::filesystem::path target);
  // Removes the temporary file unless commit() succeeded.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool ok() const { return fd_ >= 0 && error_.empty(); }
  // Why the last step failed, in words a user can act on; empty while all is well.
  const std::string& error() const { return error_; }
  int fd() const { return fd_; }
  const std::filesystem::path& temporaryPath() const { return temporary_; }
  const std::filesystem::path& target() const { return target_; }

  bool write(std::span<const unsigned char> bytes);
  // Syncs the data, renames it over the target and syncs the directory, so that the new
  // contents survive a crash right after. False (with error()) if any step failed.
  bool commit();

 private:
  bool fail(const std::string& what, int errorNumber);

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool committed_ = false;
  std::string error_;
};

// The whole job in one call. False with a reason in `error` (if given) on failure.
bool writeFileAtomically(const std::filesystem::path& target, std::span<const unsigned char> bytes,
                         std::string* error = nullptr);

// Removes the temporary files that writers which died before their commit (a crash, a
// kill -9) left in `directory`: those of our naming, owned by this user, whose process is
// gone. Every writer does this first, so such leftovers last only until the next write
// into the same folder.
void removeStaleTemporaries(const std::filesystem::path& directory);

// Removes a file and syncs its directory. A file that is not there counts as removed.
bool removeFileDurably(const std::filesystem::path& target, std::string* error = nullptr);

}  // namespace tavola
