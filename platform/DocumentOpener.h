#pragma once
// Opens a document in the user's default viewer with xdg-open, run directly with the path
// as its one argument (no shell: a path with quotes or spaces is passed as it is). xdg-open
// may take a while or stay until the viewer closes, so it runs beside the host; poll()
// tells, without waiting, whether it has ended and how.
//
// Thread contract: the host's user-interface thread.

#include <string>

#include "platform/ChildProcess.h"

namespace tavola {

class DocumentOpener {
 public:
  // Looks for xdg-open in $PATH at each open.
  DocumentOpener() = default;

  // False, with the reason, when xdg-open could not be started.
  bool open(const std::string& path, std::string* error);
  enum class State { kIdle, kRunning, kOpened, kFailed };
  // kOpened or kFailed once, when the program has ended; then kIdle.
  State poll();

 private:
  ChildProcess child_;
  bool running_ = false;
};

// The user's documents folder: what xdg-user-dir says, else ~/Documents (also when it
// says the home folder, its answer for a folder never set up). No trailing "/".
std::string documentsFolder();
// The folder of the shared object (or program) that holds this code, with a trailing "/";
// empty when it cannot be learnt.
std::string ownFolder();

}  // namespace tavola
