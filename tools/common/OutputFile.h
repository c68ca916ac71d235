#pragma once
// Writing an output file so that a failure never leaves half a file behind: the data goes
// to a temporary file beside the target, which is synced and renamed over the target only
// once it is complete. Until then an earlier file of the target's name stays as it was.

#include <memory>
#include <string>

#include "platform/AtomicFile.h"
#include "tools/common/Status.h"

namespace tavola::render {

// True when both names lead to one existing file: the same path, another spelling of it,
// a symbolic link to it or a hard link (same device and inode).
bool sameFile(const std::string& first, const std::string& second);

// Whether an output may be written at path: never over the input, not over an existing
// file unless replacing was asked for, never over a directory.
Status checkOutputPath(const std::string& output, const std::string& input, bool replace);

class OutputFile {
 public:
  // Creates the temporary file in the target's directory.
  static Status create(const std::string& target, std::unique_ptr<OutputFile>& file);
  // Not committed: the temporary file is removed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  int fd() const;
  const std::string& target() const;
  const std::string& temporaryPath() const;

  // Syncs the file, renames it over the target and syncs the directory. After a failure
  // nothing of it remains.
  Status commit();

 private:
  explicit OutputFile(std::unique_ptr<AtomicFileWriter> writer)
      : writer_(std::move(writer)),
        target_(writer_->target().string()),
        temporaryPath_(writer_->temporaryPath().string()) {}

  std::unique_ptr<AtomicFileWriter> writer_;
  std::string target_;
  std::string temporaryPath_;
  bool committed_ = false;
};

}  // namespace tavola::render
