#include "platform/ExternalFileDialog.h"

#include <cstdlib>

#include "platform/ProgramOutput.h"

namespace tavola {
namespace {

// Both programs answer a cancelled dialog with exit status 1 and no output.
constexpr int kCancelled = 1;

// Where the dialog starts: the request's folder, else the user's home; with a trailing
// "/", which makes both programs show the folder's contents rather than select it.
std::string startFolder(const FileDialogRequest& request) {
  std::string folder = request.initialDirectory;
  if (folder.empty()) {
    const char* home = std::getenv("HOME");
    folder = home && home[0] == '/' ? home : "/";
  }
  if (folder.back() != '/') folder += '/';
  return folder;
}

// The folder and, for a save, the name offered.
std::string startPath(const FileDialogRequest& request) {
  std::string path = startFolder(request);
  if (request.kind == FileDialogRequest::Kind::kSave) path += request.defaultName;
  return path;
}

}  // namespace

std::vector<std::string> zenityArguments(const FileDialogRequest& request) {
  std::vector<std::string> arguments = {"--file-selection", "--title=" + request.title};
  if (request.kind == FileDialogRequest::Kind::kSave) {
    arguments.push_back("--save");
    arguments.push_back("--confirm-overwrite");
  }
  arguments.push_back("--filename=" + startPath(request));
  arguments.push_back("--file-filter=" + request.filterDescription + " (*." + request.extension +
                      ") | *." + request.extension);
  arguments.push_back("--file-filter=All files | *");
  return arguments;
}

std::vector<std::string> kdialogArguments(const FileDialogRequest& request) {
  return {
      "--title", request.title,
      request.kind == FileDialogRequest::Kind::kSave ? "--getsavefilename" : "--getopenfilename",
      startPath(request), request.filterDescription + " (*." + request.extension + ")"};
}

std::vector<std::string> chosenPaths(std::string_view output) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string_view::npos) end = output.size();
    if (end > start) paths.emplace_back(output.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

ExternalFileDialog::ExternalFileDialog() : searchPath_(environmentSearchPath()) {}

ExternalFileDialog::ExternalFileDialog(std::string searchPath)
    : searchPath_(std::move(searchPath)) {}

bool ExternalFileDialog::start(const FileDialogRequest& request) {
  if (started_) return false;
  error_.clear();
  started_ = true;
  program_ = findProgram("zenity", searchPath_);
  std::vector<std::string> arguments;
  if (!program_.empty()) {
    arguments = zenityArguments(request);
  } else {
    program_ = findProgram("kdialog", searchPath_);
    if (program_.empty()) {
      error_ = std::string(kNoDialogProgram) + "; looked in " + searchPath_;
      return true;
    }
    arguments = kdialogArguments(request);
  }
  std::string why;
  if (!child_.start(program_, arguments, &why)) error_ = "cannot show a file dialog: " + why;
  return true;
}

bool ExternalFileDialog::finished(std::vector<std::string>& paths) {
  paths.clear();
  if (!started_) return false;
  if (error_.empty() && !child_.poll()) return false;
  started_ = false;
  if (!error_.empty()) return true;
  const int status = child_.exitStatus();
  if (status == kCancelled) return true;
  // A host that reaps its children itself leaves the status unknown: the output, empty
  // on a cancel, still tells.
  if (status != 0 && status != -1) {
    error_ = "the file dialog (" + program_ + ") failed with exit status " + std::to_string(status);
    return true;
  }
  paths = chosenPaths(child_.output());
  return true;
}

void ExternalFileDialog::cancel() {
  child_.terminate();
  started_ = false;
  error_.clear();
}

}  // namespace tavola
