#include "tools/common/OutputFile.h"

#include <sys/stat.h>

namespace tavola::render {

bool sameFile(const std::string& first, const std::string& second) {
  struct stat a {
  }, b{};
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

Status checkOutputPath(const std::string& output, const std::string& input, bool replace) {
  if (sameFile(output, input))
    return Status::runtime("refusing to write " + output + ": it is the input file");
  struct stat status {};
  if (::stat(output.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return Status::runtime(output + " is a directory");
    if (!replace) return Status::runtime(output + " exists; use --force to replace it");
  }
  return Status();
}

Status OutputFile::create(const std::string& target, std::unique_ptr<OutputFile>& file) {
  file.reset();
  if (target.empty() || target.back() == '/') return Status::runtime("no file name in " + target);
  auto writer = std::make_unique<AtomicFileWriter>(target);
  if (!writer->ok()) return Status::runtime(writer->error());
  file.reset(new OutputFile(std::move(writer)));
  return Status();
}

OutputFile::~OutputFile() = default;

int OutputFile::fd() const {
  return writer_->fd();
}

const std::string& OutputFile::target() const {
  return target_;
}

const std::string& OutputFile::temporaryPath() const {
  return temporaryPath_;
}

Status OutputFile::commit() {
  if (committed_) return Status();
  if (!writer_->commit()) return Status::runtime(writer_->error());
  committed_ = true;
  return Status();
}

}  // namespace tavola::render
