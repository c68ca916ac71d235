#include "platform/FileDialog.h"

#include <unistd.h>

namespace tavola {

std::vector<std::string> FileDialog::choose(const FileDialogRequest& request) {
  std::vector<std::string> paths;
  if (!start(request)) return paths;
  while (!finished(paths)) ::usleep(10000);
  return paths;
}

}  // namespace tavola
