#include "platform/ProgramOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/ChildProcess.h"

namespace tavola {

ProgramRun runForOutput(const std::string& program, const std::vector<std::string>& arguments) {
  ProgramRun run;
  ChildProcess child;
  run.started = child.start(program, arguments, &run.error);
  if (!run.started) return run;
  child.wait();
  run.output = child.output();
  run.exitStatus = child.exitStatus();
  return run;
}

std::string environmentSearchPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

std::string findProgram(const std::string& name, const std::string& searchPath) {
  std::size_t start = 0;
  while (start <= searchPath.size()) {
    std::size_t end = searchPath.find(':', start);
    if (end == std::string::npos) end = searchPath.size();
    // An empty entry means the current folder, which a plug-in inside a host has no
    // business searching.
    if (end > start) {
      const std::string candidate = searchPath.substr(start, end - start) + "/" + name;
      struct stat info {};
      if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
          ::access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace tavola
