#include "platform/DocumentOpener.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/ProgramOutput.h"

namespace tavola {

bool DocumentOpener::open(const std::string& path, std::string* error) {
  // A viewer still starting from the last click: this click starts another.
  if (running_) poll();
  const std::string program = findProgram("xdg-open", environmentSearchPath());
  if (program.empty()) {
    if (error) *error = "xdg-open is not installed (the \"xdg-utils\" package)";
    return false;
  }
  if (running_) child_.terminate();
  running_ = child_.start(program, {path}, error);
  return running_;
}

DocumentOpener::State DocumentOpener::poll() {
  if (!running_) return State::kIdle;
  if (!child_.poll()) return State::kRunning;
  running_ = false;
  // Unknown (-1, reaped by the host) counts as opened: nothing says otherwise.
  const int status = child_.exitStatus();
  return status == 0 || status == -1 ? State::kOpened : State::kFailed;
}

std::string documentsFolder() {
  const char* home = std::getenv("HOME");
  const std::string homeFolder = home && home[0] == '/' ? home : "";
  const std::string program = findProgram("xdg-user-dir", environmentSearchPath());
  if (!program.empty()) {
    const ProgramRun run = runForOutput(program, {"DOCUMENTS"});
    std::string folder = run.output;
    while (!folder.empty() && (folder.back() == '\n' || folder.back() == '/')) folder.pop_back();
    // xdg-user-dir answers the home folder itself for a documents folder never set up.
    if (run.started && run.exitStatus == 0 && !folder.empty() && folder.front() == '/' &&
        folder != homeFolder)
      return folder;
  }
  return homeFolder + "/Documents";
}

std::string ownFolder() {
  Dl_info info{};
  if (!::dladdr(reinterpret_cast<const void*>(&ownFolder), &info) || !info.dli_fname) return {};
  std::string path = info.dli_fname;
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash + 1);
}

}  // namespace tavola
