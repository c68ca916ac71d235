#include "platform/ExternalFileDialog.h"

#include <cstdlib>

#include "platform/ProgramOutput.h"

namespace tavola {
namespace {

// Both programs answer a cancelled dialog with exit status 1 and no output.
constexpr int kCancelled = 1;

std::string environmentPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

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

ExternalFileDialog::ExternalFileDialog() : searchPath_(environmentPath()) {}

ExternalFileDialog::ExternalFileDialog(std::string searchPath)
    : searchPath_(std::move(searchPath)) {}

std::vector<std::string> ExternalFileDialog::choose(const FileDialogRequest& request) {
  error_.clear();
  std::string program = findProgram("zenity", searchPath_);
  std::vector<std::string> arguments;
  if (!program.empty()) {
    arguments = zenityArguments(request);
  } else {
    program = findProgram("kdialog", searchPath_);
    if (program.empty()) {
      error_ = "cannot show a file dialog: neither zenity nor kdialog is installed (looked in " +
               searchPath_ + ")";
      return {};
    }
    arguments = kdialogArguments(request);
  }

  const ProgramRun run = runForOutput(program, arguments);
  if (!run.started) {
    error_ = "cannot show a file dialog: " + run.error;
    return {};
  }
  if (run.exitStatus == kCancelled) return {};
  // A host that reaps its children itself leaves the status unknown: the output, empty
  // on a cancel, still tells.
  if (run.exitStatus != 0 && run.exitStatus != -1) {
    error_ = "the file dialog (" + program + ") failed with exit status " +
             std::to_string(run.exitStatus);
    return {};
  }
  return chosenPaths(run.output);
}

}  // namespace tavola
