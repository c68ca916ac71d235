#include "tools/common/PluginPath.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tavola::render {
namespace {

bool exists(const std::string& path) {
  return !path.empty() && ::access(path.c_str(), R_OK) == 0;
}

}  // namespace

std::string findBuiltPlugin(const std::string& builtPath) {
  if (exists(builtPath)) return builtPath;
  std::vector<char> self(4096);
  const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
  if (length > 0) {
    std::string directory(self.data(), static_cast<std::size_t>(length));
    directory.erase(directory.find_last_of('/'));
    for (const std::string& candidate : {directory + "/Tavola.so", directory + "/../Tavola.so"})
      if (exists(candidate)) return candidate;
  }
  // Tools installed on their own (scripts/install.sh --tools) use the installed plug-in.
  if (const char* home = std::getenv("HOME"); home && *home) {
    const std::string installed = std::string(home) + "/.vst/Tavola.so";
    if (exists(installed)) return installed;
  }
  return builtPath;
}

}  // namespace tavola::render
